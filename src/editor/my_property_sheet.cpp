#include "editor/my_property_sheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputMethod>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "widgets/dialog_units.h"
#include "editor/blink_page.h"
#include "editor/colour_page.h"
#include "editor/display_on_off_page.h"
#include "editor/display_time_page.h"
#include "editor/fill_border_page.h"
#include "editor/page_select_page.h"
#include "editor/position_page.h"
#include "editor/stacked_tab_bar.h"
#include "editor/text_page.h"
#include "editor/white_level_page.h"
#include "session/session.h"

namespace kvt {

namespace {
const char* const kTabCaptions[kSheetPageCount] = {
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "情報（タイトル）の設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "文字背景色ベタ塗りの設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "文字レベルの設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "文字色の設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "点滅表示の設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "表示/非表示"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "表示ページの設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "表示時間の設定"),
    QT_TRANSLATE_NOOP("kvt::CMyPropertySheet", "表示位置微調整"),
};
}  // namespace

CMyPropertySheet::CMyPropertySheet(Session& session, RunEngine& engine, QWidget* owner)
    : QDialog(owner), session_(session) {
    setModal(true);
    setFont(DialogFont());
    setWindowTitle(QStringLiteral("File Name ") + QString::fromStdString(session.fileName));

    pages_[0] = new CMyPropertyPage1(session, engine);
    pages_[1] = new CMyPropertyPage2(session);
    pages_[2] = new CMyPropertyPage3(session);
    pages_[3] = new CMyPropertyPage4(session, engine);
    pages_[4] = new CMyPropertyPage5(session, engine);
    pages_[5] = new CMyPropertyPage6(session);
    pages_[6] = new CMyPropertyPage7(session);
    pages_[7] = new CMyPropertyPage8(session);
    pages_[8] = new CMyPropertyPage9(session);
    tabs_ = new QTabWidget(this);
    for (int i = 0; i < kSheetPageCount; ++i)
        tabs_->addTab(pages_[i], tr(kTabCaptions[i]));
    tabs_->setCurrentIndex(0);
    // Nine captions do not fit in one row: they are stacked instead.
    tabs_->tabBar()->hide();
    tabBar_ = new StackedTabBar(tabs_, this);
    pages_[0]->EnsureInitialised();
    connect(tabs_, &QTabWidget::currentChanged, this, &CMyPropertySheet::OnTabChanged);
    WatchEdits();

    // No page ever marks itself changed, so Apply stays disabled.
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    buttons->button(QDialogButtonBox::Apply)->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMyPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMyPropertySheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(tabBar_);
    layout->addWidget(tabs_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The pages set the width; the rows of tabs take it over.
    layout->activate();
    tabBar_->SetRowWidth(tabs_->width());
    layout->activate();
}

CMyPropertySheet::~CMyPropertySheet() {
    QWidget* active = QApplication::activeWindow();
    if (!active || active == this) active = parentWidget();
    session_.messageOwner = active;
    QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->hide();
    // Pages go in reverse tab order; a page's run ends with it.
    disconnect(tabs_, nullptr, this, nullptr);
    for (int i = kSheetPageCount - 1; i >= 0; --i) delete pages_[i];
}

// The pages write the store from these signals of their controls, connected
// when they were built; connected after them, the sheet tells of the edit
// once it is in the store.
void CMyPropertySheet::WatchEdits() {
    for (SettingsPage* page : pages_) {
        for (QComboBox* combo : page->findChildren<QComboBox*>())
            connect(combo, &QComboBox::activated, this, &CMyPropertySheet::storeEdited);
        for (QLineEdit* edit : page->findChildren<QLineEdit*>())
            connect(edit, &QLineEdit::textEdited, this, &CMyPropertySheet::storeEdited);
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            connect(button, &QAbstractButton::clicked, this, &CMyPropertySheet::storeEdited);
    }
}

void CMyPropertySheet::accept() {
    if (!pages_[shownIndex_]->CanLeave()) return;
    QDialog::accept();
}

void CMyPropertySheet::OnTabChanged(int index) {
    if (index == shownIndex_ || index < 0) return;
    if (!pages_[shownIndex_]->CanLeave()) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(shownIndex_);
        pages_[shownIndex_]->CanLeave();  // focus the offending line again
        tabBar_->update();
        return;
    }
    shownIndex_ = index;
    pages_[index]->EnsureInitialised();
}

void RunSettingsSheet(Session& session, RunEngine& engine, QWidget* owner,
                      const std::function<void()>& onEdit) {
    CMyPropertySheet sheet(session, engine, owner);
    if (onEdit) QObject::connect(&sheet, &CMyPropertySheet::storeEdited, &sheet, onEdit);
    sheet.exec();
}

}  // namespace kvt
