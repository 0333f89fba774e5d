#include "editor/page_common.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/dialog_controls.h"
#include "protocol/slave_list.h"
#include "widgets/dialog_units.h"
#include "session/session.h"

namespace kvt {

bool ValidPage(int page) { return page >= 0 && page < kPageCount; }

QStringList TwoDigitItems(int first, int count) {
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::fromStdString(TwoDigits(first + i));
    return items;
}

void SelectItem(QComboBox* combo, int value) {
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

void CopySelection(const QComboBox* combo, int* target) {
    if (combo && combo->currentIndex() >= 0) *target = combo->currentIndex();
}

void SetOwnerToActiveWindow(Session& session, QWidget* page) {
    QWidget* active = QApplication::activeWindow();
    session.messageOwner = active ? active : page->window();
}

SettingsPage::SettingsPage(Session& session, int dialogId, int widthDu, int heightDu)
    : session_(session), seededSlave_(session.slaveNo) {
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
    return PlaceGroup(this, title, x, y, w, h);
}

QLabel* SettingsPage::AddLabel(const QString& text, int x, int y, int w, int h) {
    return PlaceLabel(this, text, x, y, w, h);
}

QComboBox* SettingsPage::AddCombo(int id, const QStringList& items, int x, int y, int w) {
    return PlaceCombo(this, id, items, x, y, w);
}

QPushButton* SettingsPage::AddButton(int id, const QString& text, int x, int y, int w, int h) {
    return PlaceButton(this, id, text, x, y, w, h);
}

QLineEdit* SettingsPage::AddNumberBox(int id, int x, int y, int w, int h) {
    return PlaceNumberBox(this, id, x, y, w, h);
}

void SettingsPage::AddPageNoGroup(int gx, int gy, int cx, int cy) {
    AddGroup(QStringLiteral("Page No."), gx, gy, 60, 40);
    pageCombo_ = AddCombo(1008, TwoDigitItems(1, kPageCount), cx, cy, 48);
    connect(pageCombo_, &QComboBox::activated, this, [this](int index) {
        session_.currentPage = index;
        LoadControls();
    });
}

void SettingsPage::AddSlaveNoGroup(int gx, int gy, int cx, int cy) {
    AddGroup(QStringLiteral("Slave No."), gx, gy, 60, 40);
    slaveCombo_ = AddCombo(1009, TwoDigitItems(0, kLastSlave + 1), cx, cy, 48);
    connect(slaveCombo_, &QComboBox::activated, this,
            [this](int index) { session_.slaveNo = index; });
}

void SettingsPage::InitCommonCombos() {
    if (slaveCombo_) {
        if (session_.lineMode != 0) {
            SelectItem(slaveCombo_, session_.slaveNo);
        } else {
            SelectItem(slaveCombo_, seededSlave_);
            slaveCombo_->setEnabled(false);
        }
    }
    if (pageCombo_) SelectItem(pageCombo_, session_.currentPage);
}

void SettingsPage::PrepareSend(bool copyPage, bool copySlave) {
    if (copySlave) CopySelection(slaveCombo_, &session_.slaveNo);
    if (copyPage) CopySelection(pageCombo_, &session_.currentPage);
    SetOwnerToActiveWindow(session_, this);
}

}  // namespace kvt
