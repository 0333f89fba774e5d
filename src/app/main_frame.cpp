#include "app/main_frame.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "profile/profile.h"
#include "app/reply_pump.h"
#include "app/ui_language.h"
#include "dialogs/all_items_dlg.h"
#include "dialogs/comm_setting_dlg.h"
#include "dialogs/device_setting_dlg.h"
#include "dialogs/multi_sign_dlg.h"
#include "dialogs/read_setting_dlg.h"
#include "app/kvt540m_view.h"
#include "preview/page_preview_window.h"
#include "session/session.h"
#include "transfer/sign_line.h"

namespace kvt {

CMainFrame::CMainFrame(SignLine& line, ReplyPump* pump, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      line_(line),
      session_(line.session()),
      engine_(line.engine()),
      replyTimer_(line.replyTimer()),
      pump_(pump),
      view_(new CKVT540MView(session_, engine_, this)),
      doc_(session_, view_) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Information scroller"));
    setWindowIcon(AppIcon());
    setCentralWidget(view_);
    BuildMenus();
    BuildStatusBar();
    setFixedSize(640, 223);
    move(0, 0);
    connect(view_, &CKVT540MView::storeEdited, this, &CMainFrame::StoreChanged);
}

QAction* CMainFrame::AddItem(QMenu* menu, const QString& text, int id, const QString& prompt) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::number(id));
    action->setStatusTip(prompt);
    return action;
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("menuFile"));
    // Ctrl+N, Ctrl+O and Ctrl+S run the File menu's own commands.
    QAction* act = AddItem(file, tr("新規作成"), 32774, tr("新規にファイルを作成"));
    act->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(act, &QAction::triggered, this, [this] {
        doc_.FileNew();
        StoreChanged();
    });
    act = AddItem(file, tr("開く"), 32775, tr("既存のファイルを開く"));
    act->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(act, &QAction::triggered, this, [this] {
        doc_.FileOpen();
        StoreChanged();
    });
    act = AddItem(file, tr("上書き保存"), 32776,
                  tr("作業中のファイルを上書きして保存"));
    act->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(act, &QAction::triggered, this, [this] { doc_.FileSave(); });
    act = AddItem(file, tr("名前を付けて保存"), 32777,
                  tr("作業中のファイルを新しい名前で保存"));
    connect(act, &QAction::triggered, this, [this] { doc_.FileSaveAs(); });
    file->addSeparator();
    act = AddItem(file, tr("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"), 57665,
                  tr("ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示"));
    connect(act, &QAction::triggered, this, &CMainFrame::ExitProcedure);

    QMenu* set = menuBar()->addMenu(QStringLiteral("Set"));
    set->setObjectName(QStringLiteral("menuSet"));
    act = AddItem(set, tr("KVTの設定"), 32773, QString());
    connect(act, &QAction::triggered, view_, &CKVT540MView::OnSettingsSheet);
    act = AddItem(set, tr("通信の設定"), 32772, QString());
    connect(act, &QAction::triggered, this, &CMainFrame::OnCommSetting);
    act = AddItem(set, tr("全項目の設定"), 32778, tr("全項目の設定"));
    connect(act, &QAction::triggered, this, &CMainFrame::OnAllItems);
    fastTransfer_ = AddItem(set, tr("高速転送"), 32779, QString());
    fastTransfer_->setCheckable(true);
    fastTransfer_->setChecked(ReadProfileInt(kFastTransferKey, 0) != 0);
    connect(fastTransfer_, &QAction::triggered, this, &CMainFrame::SetFastTransfer);
    act = AddItem(set, tr("プレビュー"), 32780, tr("ページの見え方を確かめる"));
    connect(act, &QAction::triggered, this, &CMainFrame::OnPreview);
    act = AddItem(set, tr("デバイスの設定"), 32781,
                  tr("COM1..COM3 の先のデバイスを選ぶ"));
    connect(act, &QAction::triggered, this, &CMainFrame::OnDeviceSetting);
    act = AddItem(set, tr("複数表示器へ送信"), 32782,
                  tr("設定を RS-485 の複数の表示器へ送る"));
    connect(act, &QAction::triggered, this, &CMainFrame::OnMultiSign);
    act = AddItem(set, tr("フリート..."), 32784,
                  tr("シートの表示器へ、すべての回線で同時に送る"));
    connect(act, &QAction::triggered, this, [this] { OnFleet(); });

    QMenu* info = menuBar()->addMenu(QStringLiteral("Information"));
    info->setObjectName(QStringLiteral("menuInformation"));
    act = AddItem(info, tr("KVT-540-M のﾊﾞｰｼﾞｮﾝ情報..."), 57664,
                  tr("ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"));
    connect(act, &QAction::triggered, this, &CMainFrame::OnAbout);
    // Named in its own language, so that one who reads no Japanese finds it.
    english_ = AddItem(info, QStringLiteral("English"), 32783, tr("次回の起動から英語で表示"));
    english_->setCheckable(true);
    english_->setChecked(CurrentUiLanguage() == UiLanguage::English);
    connect(english_, &QAction::triggered, this, &CMainFrame::SetEnglish);

    // The reply time-out's beat is (re)started each time a menu of the
    // window opens.
    for (QMenu* menu : {file, set, info})
        connect(menu, &QMenu::aboutToShow, this, [this] { replyTimer_.Restart(); });
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    // The idle prompt: a normal widget, hidden while a menu item's prompt shows.
    auto* idle = new QLabel(tr("ﾚﾃﾞｨ"), bar);
    idle->setObjectName(QStringLiteral("idlePrompt"));
    bar->addWidget(idle, 1);
    const char* indicators[] = {QT_TR_NOOP("ｶﾅ"), "CAP", "NUM", "SCRL"};
    for (const char* text : indicators) {
        auto* pane = new QLabel(tr(text), bar);
        pane->setObjectName(QStringLiteral("indicator_") + QString::fromUtf8(text));
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(36);
        bar->addPermanentWidget(pane);
    }
}

void CMainFrame::OpenFile(const QString& path) {
    doc_.OpenFile(path);
    StoreChanged();
}

void CMainFrame::ExitProcedure() {
    if (shutDown_) return;
    if (session_.modified == 0 ||
        session_.AskYesNo(QT_TRANSLATE_NOOP("kvt::Box", "データを保存せずに終了しますか？"))) {
        ShutDown();
        return;
    }
    if (session_.fileName.empty())
        doc_.FileSaveAs();
    else
        doc_.FileSave();
}

void CMainFrame::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    replyTimer_.Stop();
    if (preview_) preview_->close();  // keeps its place in the profile
    if (pump_) pump_->Stop();
    session_.link().CloseLink();
    close();
    emit quitRequested();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (shutDown_) {
        event->accept();
        return;
    }
    // The window ends only through ShutDown.
    ExitProcedure();
    event->setAccepted(shutDown_);
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    if (gesture_.Request(event->globalPos(), keyboard)) OnReadSetting();
}

void CMainFrame::OnCommSetting() {
    CCommSettingDlg dialog(session_, nullptr);
    if (dialog.exec() != QDialog::Accepted) return;
    session_.comPortIndex = dialog.m_comPort;
    session_.lineMode = dialog.m_lineMode;
    SerialLink& link = session_.link();
    link.CloseLink();
    link.OpenPort(PortDevicePath(session_.comPortIndex));
    link.StartReadThread();
    // Stored whether or not the port opened: the next start tries it again.
    WriteProfileInt(kComPortKey, session_.comPortIndex);
    WriteProfileInt(kRsControlKey, session_.lineMode);
}

void CMainFrame::OnDeviceSetting() {
    std::vector<std::string> before;
    for (int i = 0; i < CDeviceSettingDlg::kPortCount; ++i) before.push_back(PortDevicePath(i));
    CDeviceSettingDlg dialog(before, discover_, nullptr);
    if (dialog.exec() != QDialog::Accepted) return;
    for (int i = 0; i < CDeviceSettingDlg::kPortCount; ++i)
        if (dialog.device(i) != before[i]) WriteDevicePath(i, dialog.device(i));
    // The port in use opens again when it stands for another device now, or
    // when its device went away (an unplugged adapter, a dropped connection).
    const int inUse = session_.comPortIndex >= 0 && session_.comPortIndex < 3 ? session_.comPortIndex : 0;
    SerialLink& link = session_.link();
    if (dialog.device(inUse) == before[inUse] && link.state() == SerialLink::State::Open) return;
    link.CloseLink();
    link.OpenPort(PortDevicePath(inUse));
    link.StartReadThread();
}

void CMainFrame::OnMultiSign() {
    CMultiSignDlg dialog(line_, fastTransfer(), nullptr);
    dialog.exec();
}

void CMainFrame::OnFleet(const QString& sheet) {
    if (!fleet_) {
        CFleetDlg::Host& host = *this;
        fleet_ = std::make_unique<CFleetDlg>(host, fleetDrivers_, fastTransfer(), nullptr);
    }
    // The sheet once the window is up: a refused sheet's box goes over it.
    if (!sheet.isEmpty())
        QTimer::singleShot(0, fleet_.get(), [this, sheet] { fleet_->OpenSheet(sheet); });
    fleet_->exec();
}

MessageBoxSeam& CMainFrame::boxes() { return session_.seam(); }

std::string CMainFrame::OwnDevice() {
    if (session_.link().state() != SerialLink::State::Open) return "";
    return PortDevicePath(session_.comPortIndex);
}

QString CMainFrame::OwnPortName() const {
    const int index = session_.comPortIndex >= 0 && session_.comPortIndex < 3 ? session_.comPortIndex : 0;
    return QStringLiteral("COM%1").arg(index + 1);
}

// The status line says what became of the program's own port.
void CMainFrame::LendOwnPort(bool lent) {
    SerialLink& link = session_.link();
    if (lent) {
        link.CloseLink();
        statusBar()->showMessage(tr("%1: フリートの実行のため閉じました").arg(OwnPortName()));
        return;
    }
    link.OpenPort(PortDevicePath(session_.comPortIndex));
    link.StartReadThread();
    statusBar()->showMessage(link.state() == SerialLink::State::Open
                                 ? tr("%1: 開き直しました").arg(OwnPortName())
                                 : tr("%1: 開き直せませんでした").arg(OwnPortName()));
}

void CMainFrame::OnAllItems() {
    CAllItemsDlg dialog(engine_, TransferPacing(), nullptr);
    dialog.exec();
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnReadSetting() {
    CReadSettingDlg dialog(engine_, TransferPacing(), nullptr);
    dialog.exec();
    StoreChanged();
}

// The one place that hands the store and the selected page to the preview.
void CMainFrame::OnPreview() {
    if (!preview_) preview_ = new PagePreviewWindow(session_.panelSettings, session_.currentPage, this);
    preview_->Open();
}

void CMainFrame::StoreChanged() {
    if (preview_) preview_->Refresh();
}

bool CMainFrame::fastTransfer() const { return fastTransfer_->isChecked(); }

void CMainFrame::SetFastTransfer(bool on) {
    fastTransfer_->setChecked(on);
    WriteProfileInt(kFastTransferKey, on ? 1 : 0);
}

void CMainFrame::SetEnglish(bool on) {
    english_->setChecked(on);
    WriteProfileLanguage(on ? "en" : "ja");
    session_.NoticeBox(on ? QT_TRANSLATE_NOOP("kvt::Box", "次回の起動から英語で表示します。")
                          : QT_TRANSLATE_NOOP("kvt::Box", "次回の起動から日本語で表示します。"));
}

Pacing CMainFrame::TransferPacing() {
    if (!fastTransfer()) return Pacing{};
    // A command left unanswered ends a reply-paced run with "No Connect":
    // the time-out must beat even when no menu has been opened yet (the
    // read-back opens without one).
    if (!replyTimer_.active()) replyTimer_.Restart();
    return Pacing{Pace::Reply, kDefaultReplyGapMs};
}

}  // namespace kvt
