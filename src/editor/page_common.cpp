#include "editor/page_common.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialog_units.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"

namespace kvt {

int pageGroup = 0;

namespace {
// The height of a closed drop-down list, in dialog units.
constexpr int kClosedComboHeight = 12;
}  // namespace

bool ValidPage(int page) { return page >= 0 && page < kPageCount; }

QStringList TwoDigitItems(int first, int count) {
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QStringLiteral("%1").arg(first + i, 2, 10, QLatin1Char('0'));
    return items;
}

void SelectItem(QComboBox* combo, int value) {
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

void CopySelection(const QComboBox* combo, int* target) {
    if (combo && combo->currentIndex() >= 0) *target = combo->currentIndex();
}

void SetOwnerToActiveWindow(QWidget* page) {
    QWidget* active = QApplication::activeWindow();
    messageOwner = active ? active : page->window();
}

SettingsPage::SettingsPage(int dialogId, int widthDu, int heightDu) : seededSlave_(slaveNo) {
    setObjectName(QString::number(dialogId));
    setFont(DialogFont());
    setMinimumSize(DialogSize(DialogFont(), widthDu, heightDu));
}

void SettingsPage::EnsureInitialised() {
    if (initialised_) return;
    initialised_ = true;
    OnInitDialog();
}

QRect SettingsPage::Du(int x, int y, int w, int h) const {
    return DialogRect(DialogFont(), x, y, w, h);
}

QGroupBox* SettingsPage::AddGroup(const QString& title, int x, int y, int w, int h) {
    auto* group = new QGroupBox(title, this);
    // The title sits on the frame's top line, half a line below the top.
    group->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    group->setGeometry(Du(x, y, w, h));
    group->lower();  // beneath the controls drawn inside it
    return group;
}

QLabel* SettingsPage::AddLabel(const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, this);
    label->setGeometry(Du(x, y, w, h));
    return label;
}

QComboBox* SettingsPage::AddCombo(int id, const QStringList& items, int x, int y, int w) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::number(id));
    combo->addItems(items);
    combo->setMaxVisibleItems(12);
    combo->setGeometry(Du(x, y, w, kClosedComboHeight));
    return combo;
}

QPushButton* SettingsPage::AddButton(int id, const QString& text, int x, int y, int w, int h) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    button->setGeometry(Du(x, y, w, h));
    return button;
}

QLineEdit* SettingsPage::AddNumberBox(int id, int x, int y, int w, int h) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::number(id));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setTextMargins(0, 0, 0, 0);
    box->setGeometry(Du(x, y, w, h));
    return box;
}

void SettingsPage::AddPageNoGroup(int gx, int gy, int cx, int cy) {
    AddGroup(QStringLiteral("Page No."), gx, gy, 60, 40);
    pageCombo_ = AddCombo(1008, TwoDigitItems(1, kPageCount), cx, cy, 48);
    connect(pageCombo_, &QComboBox::activated, this, [this](int index) {
        currentPage = index;
        LoadControls();
    });
}

void SettingsPage::AddSlaveNoGroup(int gx, int gy, int cx, int cy) {
    AddGroup(QStringLiteral("Slave No."), gx, gy, 60, 40);
    slaveCombo_ = AddCombo(1009, TwoDigitItems(0, 32), cx, cy, 48);
    connect(slaveCombo_, &QComboBox::activated, this, [](int index) { slaveNo = index; });
}

void SettingsPage::InitCommonCombos() {
    if (slaveCombo_) {
        if (lineMode != 0) {
            SelectItem(slaveCombo_, slaveNo);
        } else {
            SelectItem(slaveCombo_, seededSlave_);
            slaveCombo_->setEnabled(false);
        }
    }
    if (pageCombo_) SelectItem(pageCombo_, currentPage);
}

void SettingsPage::PrepareSend(bool copyPage, bool copySlave) {
    if (copySlave) CopySelection(slaveCombo_, &slaveNo);
    if (copyPage) CopySelection(pageCombo_, &currentPage);
    SetOwnerToActiveWindow(this);
}

}  // namespace kvt
