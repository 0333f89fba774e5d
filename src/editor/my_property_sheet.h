// The settings sheet ("KVTの設定"): nine tabbed pages editing the session's
// store; three of them send all pages in a run of the engine.
#pragma once

#include <QDialog>

#include <functional>

class QTabWidget;

namespace kvt {

class RunEngine;
class Session;
class SettingsPage;
class StackedTabBar;

constexpr int kSheetPageCount = 9;

class CMyPropertySheet : public QDialog {
    Q_OBJECT
public:
    // Fresh pages read the store; the first tab is shown.
    CMyPropertySheet(Session& session, RunEngine& engine, QWidget* owner = nullptr);
    // Hands the message boxes back to the window active now, closes the
    // input method and ends a run still going.
    ~CMyPropertySheet() override;

    QTabWidget* tabs() const { return tabs_; }
    StackedTabBar* tabBar() const { return tabBar_; }
    SettingsPage* page(int index) const { return pages_[index]; }

    // OK: refused while the shown page must not be left.
    void accept() override;

signals:
    // After every edit a page makes in the store, and after every send
    // (which may move the selected page); the page's own handler has run.
    void storeEdited();

private:
    void OnTabChanged(int index);
    void WatchEdits();

    Session& session_;
    QTabWidget* tabs_ = nullptr;
    StackedTabBar* tabBar_ = nullptr;
    SettingsPage* pages_[kSheetPageCount] = {};
    int shownIndex_ = 0;
};

// Builds the sheet, runs it modally and destroys it. Called by the view for
// the menu command "KVTの設定". onEdit (if any) runs at every storeEdited.
void RunSettingsSheet(Session& session, RunEngine& engine, QWidget* owner,
                      const std::function<void()>& onEdit = {});

}  // namespace kvt
