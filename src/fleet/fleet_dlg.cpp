#include "fleet/fleet_dlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStyle>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "exchange/fleet_sheet.h"
#include "exchange/run_report.h"
#include "profile/profile.h"
#include "settings/bounded_read.h"
#include "settings/settings_file.h"
#include "text/file_name.h"
#include "transfer/run_steps.h"

namespace kvt {

namespace {

constexpr int kPickUpMs = 100;  // at most ten redraws a second
constexpr int kMostLinesAtOnce = 4096;

const char* CommandOf(BusJob job) {
    switch (job) {
    case BusJob::Deploy: return "fleet deploy";
    case BusJob::Verify: return "fleet verify";
    case BusJob::ReadAll: return "fleet read";
    }
    return "fleet";
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CFleetDlg::CFleetDlg(Host& host, DriverMaker drivers, bool fast, QWidget* parent)
    : QDialog(parent), host_(host), drivers_(std::move(drivers)), model_(this) {
    setObjectName(QStringLiteral("Fleet"));
    setWindowTitle(tr("フリート"));
    setSizeGripEnabled(true);

    open_ = Button(tr("シートを開く..."), "openSheet", this);
    sheetName_ = new QLabel(this);
    sheetName_->setObjectName(QStringLiteral("sheetName"));
    sheetName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sheetName_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(&model_);
    sorted_->setSortRole(FleetTableModel::kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("signs"));
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setSectionResizeMode(FleetTableModel::kResult, QHeaderView::Stretch);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // the sheet's order
    table_->setSortingEnabled(true);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    differences_ = new QPlainTextEdit(this);
    differences_->setObjectName(QStringLiteral("differences"));
    differences_->setReadOnly(true);
    differences_->setLineWrapMode(QPlainTextEdit::NoWrap);

    verify_ = new QCheckBox(tr("送信後に照合"), this);
    verify_->setObjectName(QStringLiteral("verifyAfter"));
    fast_ = new QCheckBox(tr("高速転送"), this);
    fast_->setObjectName(QStringLiteral("fast"));
    fast_->setChecked(fast);
    auto* jobsLabel = new QLabel(tr("同時に動かす回線数(&L):"), this);
    jobs_ = new QSpinBox(this);
    jobs_->setObjectName(QStringLiteral("jobs"));
    jobs_->setRange(0, kMostLinesAtOnce);
    jobs_->setSpecialValueText(tr("すべて"));
    jobsLabel->setBuddy(jobs_);

    deploy_ = Button(tr("送信(&D)"), "deploy", this);
    verifyRun_ = Button(tr("照合(&V)"), "verify", this);
    read_ = Button(tr("読出(&R)..."), "read", this);
    stop_ = Button(tr("中止(&S)"), "stop", this);
    report_ = Button(tr("レポート保存(&P)..."), "saveReport", this);
    close_ = Button(tr("閉じる"), "close", this);

    auto* top = new QHBoxLayout;
    top->addWidget(open_);
    top->addWidget(sheetName_, 1);
    auto* below = new QWidget(this);
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(summary_);
    belowLayout->addWidget(differences_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(below);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    auto* options = new QHBoxLayout;
    options->addWidget(verify_);
    options->addWidget(fast_);
    options->addStretch();
    options->addWidget(jobsLabel);
    options->addWidget(jobs_);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {deploy_, verifyRun_, read_, stop_, report_}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);

    connect(open_, &QPushButton::clicked, this, &CFleetDlg::OnOpenSheet);
    connect(deploy_, &QPushButton::clicked, this, &CFleetDlg::OnDeploy);
    connect(verifyRun_, &QPushButton::clicked, this, &CFleetDlg::OnVerify);
    connect(read_, &QPushButton::clicked, this, &CFleetDlg::OnRead);
    connect(stop_, &QPushButton::clicked, this, &CFleetDlg::OnStop);
    connect(report_, &QPushButton::clicked, this, &CFleetDlg::OnSaveReport);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableView::doubleClicked, this, &CFleetDlg::OpenRowFile);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CFleetDlg::ShowDifferences);
    pickUp_.setInterval(kPickUpMs);
    connect(&pickUp_, &QTimer::timeout, this, &CFleetDlg::PickUp);

    resize(760, 480);
    std::istringstream saved(ReadProfileString(kFleetSizeKey));
    int width, height;
    if (saved >> width >> height) resize(QSize(width, height).expandedTo(minimumSizeHint()));
    SetRunning(false);
}

CFleetDlg::~CFleetDlg() {
    if (!driver_) return;
    driver_->Stop();
    driver_->Wait();
    driver_.reset();
    if (portLent_) host_.LendOwnPort(false);
}

bool CFleetDlg::OpenSheet(const QString& path) {
    if (running()) return false;
    lines_.clear();
    model_.SetSheet(lines_, QString());
    tracker_.reset();
    runRows_.clear();
    sheet_ = path;
    sheetName_->setText(QDir::toNativeSeparators(path));
    const std::string file = QFile::encodeName(path).toStdString();
    std::string bytes;
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    const BoundedRead read = stream ? ReadWholeStream(stream, &bytes) : BoundedRead::Failed;
    if (stream) std::fclose(stream);
    std::vector<std::string> problems;
    if (read == BoundedRead::TooLarge) problems.push_back(TooLargeMessage(file));
    if (read == BoundedRead::Failed) problems.push_back("cannot read " + file);
    if (read == BoundedRead::Ok) {
        // Reading and checking thousands of signs' files takes a moment.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // The sheet serves every run of the window: each sign's file must
        // read and go whole, and each name must make a file name of its own.
        FleetSheetUse use;
        use.device = ResolvePortName;
        use.check = WholeSendProblem;
        use.fileName = FileNameOf;
        problems = ReadFleetSheet(bytes, QFile::encodeName(QFileInfo(path).absolutePath()).toStdString(),
                                  use, &lines_);
        if (problems.empty() && lines_.empty()) problems.push_back("no sign in the sheet");
    }
    model_.SetSheet(lines_, QFileInfo(path).absolutePath());
    FitColumns();
    if (read == BoundedRead::Ok) QGuiApplication::restoreOverrideCursor();
    SetRunning(false);
    UpdateSummary();
    if (problems.empty()) return true;
    QString text = tr("シート %1 は使えません:").arg(QDir::toNativeSeparators(path));
    for (const std::string& problem : problems) text += "\n" + QString::fromStdString(problem);
    Warn(text);
    return false;
}

// Each column as wide as its texts, the progress and the seconds as wide as
// they will grow during a run.
void CFleetDlg::FitColumns() {
    table_->resizeColumnsToContents();
    const int margin = 2 * table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 8;
    for (int column : {int(FleetTableModel::kProgress), int(FleetTableModel::kSeconds)})
        for (const QString& text : model_.LongestTexts(column)) {
            const int width = fontMetrics().horizontalAdvance(text) + margin;
            if (table_->columnWidth(column) < width) table_->setColumnWidth(column, width);
        }
}

void CFleetDlg::OnOpenSheet() {
    if (running()) return;
    const QString path = Choose(Choice::Sheet);
    if (!path.isEmpty()) OpenSheet(path);
}

void CFleetDlg::OnDeploy() { StartRun(BusJob::Deploy, ""); }

void CFleetDlg::OnVerify() { StartRun(BusJob::Verify, ""); }

void CFleetDlg::OnRead() {
    if (running() || lines_.empty()) return;
    const QString folder = Choose(Choice::ReadFolder);
    if (folder.isEmpty()) return;
    if (!QFileInfo(folder).isDir()) {
        Warn(tr("%1 はフォルダではありません。").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    StartRun(BusJob::ReadAll, QFile::encodeName(folder).toStdString());
}

std::vector<size_t> CFleetDlg::ChosenRows() const {
    std::set<size_t> chosen;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        chosen.insert(static_cast<size_t>(sorted_->mapToSource(index).row()));
    if (chosen.empty())
        for (size_t i = 0; i < model_.size(); ++i) chosen.insert(i);
    return {chosen.begin(), chosen.end()};
}

void CFleetDlg::StartRun(BusJob job, const std::string& readDir) {
    if (running() || lines_.empty() || !drivers_) return;
    job_ = job;
    readDir_ = readDir;
    if (job == BusJob::ReadAll) reads_ = std::make_unique<SaveBatch>();
    runRows_ = ChosenRows();
    // The chosen signs by line, in the sheet's order, and the row of each.
    std::vector<FleetLine> lines;
    std::vector<std::vector<size_t>> rows;
    size_t lastLine = SIZE_MAX;
    for (size_t i : runRows_) {
        const FleetTableModel::Row& row = model_.row(i);
        if (row.line != lastLine) {
            lines.push_back({lines_[row.line].name, lines_[row.line].device, {}});
            rows.emplace_back();
            lastLine = row.line;
        }
        lines.back().signs.push_back(lines_[row.line].signs[row.sign]);
        rows.back().push_back(i);
    }
    const std::string own = host_.OwnDevice();
    portLent_ = !own.empty() && std::any_of(lines.begin(), lines.end(), [&own](const FleetLine& line) {
        return line.device == own;
    });
    if (portLent_) host_.LendOwnPort(true);

    model_.SetWaiting(runRows_);
    tracker_ = std::make_unique<FleetTracker>(std::move(rows), job == BusJob::ReadAll);
    driver_ = drivers_();
    const Pacing pacing = fast_->isChecked() ? Pacing{Pace::Reply, kDefaultReplyGapMs} : Pacing{};
    SetRunning(true);
    if (!driver_->Start(job, std::move(lines), job == BusJob::Deploy && verify_->isChecked(), pacing,
                        static_cast<size_t>(jobs_->value()), *tracker_)) {
        EndRun();
        return;
    }
    pickUp_.start();
    UpdateSummary();
}

void CFleetDlg::OnStop() {
    if (driver_) driver_->Stop();
}

void CFleetDlg::PickUp() {
    if (!driver_) return;
    driver_->Poll();
    const FleetChanges changes = tracker_->Take();
    model_.SetStates(changes.rows);
    for (const FleetRead& read : changes.reads) WriteRead(read);
    if (changes.ended) EndRun();
    UpdateSummary();
    ShowDifferences();
}

void CFleetDlg::WriteRead(const FleetRead& read) {
    const std::string path =
        readDir_ + "/" + FileNameOf(model_.row(read.row).name.toStdString()) + ".dat";
    std::string message;
    if (WriteSettingsFile(path, read.settings, read.currentPage, &message, reads_.get()) ==
        SaveResult::Ok)
        readRows_[path] = read.row;
    else
        FailFile(read.row, message);
}

void CFleetDlg::PutReadsInPlace() {
    if (!reads_) return;
    for (const auto& [path, why] : reads_->Finish()) FailFile(readRows_.at(path), why);
    reads_.reset();
    readRows_.clear();
}

void CFleetDlg::FailFile(size_t row, const std::string& why) {
    FleetSignState state = model_.row(row).state;
    state.stage = FleetSignState::Stage::Done;
    state.result.problem = SignProblem::FileNotWritten;
    state.result.detail = why;
    model_.SetStates({{row, state}});
}

void CFleetDlg::EndRun() {
    pickUp_.stop();
    driver_.reset();
    PutReadsInPlace();
    if (portLent_) host_.LendOwnPort(false);
    portLent_ = false;
    SetRunning(false);
}

void CFleetDlg::SetRunning(bool running) {
    const bool ready = !running && !lines_.empty();
    for (QWidget* w : std::initializer_list<QWidget*>{deploy_, verifyRun_, read_, verify_, fast_, jobs_})
        w->setEnabled(ready);
    open_->setEnabled(!running);
    stop_->setEnabled(running);
    report_->setEnabled(!running && tracker_ && !runRows_.empty());
}

// The last run's signs, or before any the sheet's.
void CFleetDlg::UpdateSummary() {
    if (!runRows_.empty()) {
        summary_->setText(model_.Summary(runRows_));
        return;
    }
    std::vector<size_t> every(model_.size());
    for (size_t i = 0; i < every.size(); ++i) every[i] = i;
    summary_->setText(every.empty() ? QString() : model_.Summary(every));
}

void CFleetDlg::ShowDifferences() {
    const QModelIndex current = table_->currentIndex();
    QString text;
    if (current.isValid()) {
        const FleetTableModel::Row& row = model_.row(static_cast<size_t>(sorted_->mapToSource(current).row()));
        if (row.state.stage == FleetSignState::Stage::Done)
            for (const std::string& difference : row.state.result.differences)
                text += QString::fromStdString(difference) + "\n";
    }
    if (differences_->toPlainText() != text) differences_->setPlainText(text);
}

void CFleetDlg::OpenRowFile(const QModelIndex& index) {
    if (running() || !index.isValid()) return;
    const FleetTableModel::Row& row = model_.row(static_cast<size_t>(sorted_->mapToSource(index).row()));
    host_.OpenFile(QFile::decodeName(row.path.c_str()));
}

void CFleetDlg::OnSaveReport() {
    if (running() || runRows_.empty() || !tracker_) return;
    const QString path = Choose(Choice::Report);
    if (path.isEmpty()) return;
    std::vector<SignRow> rows;
    for (size_t i : runRows_) {
        const FleetTableModel::Row& row = model_.row(i);
        rows.push_back({row.name.toStdString(), row.port.toStdString(), row.state.result});
    }
    std::string error;
    if (!WriteResultsReport(ResultsOf::Fleet, QFile::encodeName(path).toStdString(), CommandOf(job_),
                            rows, &error))
        Warn(tr("レポート %1 を書けません。").arg(QDir::toNativeSeparators(path)));
}

void CFleetDlg::done(int result) {
    if (running()) {
        if (host_.boxes().Show(QuestionBoxRequest(
                tr("フリートの実行中です。中止しますか？").toStdString())) != BoxResult::Yes)
            return;
        driver_->Stop();
        driver_->Wait();
        PickUp();
    }
    SaveSize();
    QDialog::done(result);
}

void CFleetDlg::SaveSize() const {
    WriteProfileString(kFleetSizeKey, std::to_string(width()) + " " + std::to_string(height()));
}

void CFleetDlg::Warn(const QString& text) {
    host_.boxes().Show(WarningBoxRequest(text.toStdString(), this));
}

QString CFleetDlg::Choose(Choice choice) {
    if (chooser_) return chooser_(choice);
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    switch (choice) {
    case Choice::Sheet:
        dialog.setNameFilter(tr("シート (*.csv)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case Choice::ReadFolder:
        dialog.setWindowTitle(tr("読み出したファイルを置くフォルダ"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    case Choice::Report:
        dialog.setNameFilter(tr("レポート (*.json)"));
        dialog.setDefaultSuffix(QStringLiteral("json"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    }
    if (!sheet_.isEmpty()) dialog.setDirectory(QFileInfo(sheet_).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

}  // namespace kvt
