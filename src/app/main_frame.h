// The main window: menus, status bar, the reply time-out timer, the
// maintenance gesture and the exit procedure.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include "app/kvt540m_doc.h"
#include "app/maintenance_gesture.h"

class QLabel;
class QMenu;

namespace kvt {

class CKVT540MView;
class PagePreviewWindow;
class ReplyPump;
class SerialLink;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // link and pump may be null (no serial link, e.g. in tests).
    explicit CMainFrame(SerialLink* link = nullptr, ReplyPump* pump = nullptr,
                        QWidget* parent = nullptr);

    CKVT540MView* view() const { return view_; }
    CKVT540MDoc& doc() { return doc_; }
    QTimer& replyTimer() { return timer1_; }

    // The exit command and the close box: with unsaved changes asks first;
    // "No" saves (save as without a file name) and keeps the program open.
    void ExitProcedure();
    // Timer 1 stopped, link closed, window closed, then quitRequested,
    // which the application answers by ending its event loop.
    void ShutDown();
    bool hasShutDown() const { return shutDown_; }

    void OnCommSetting();   // 32772
    void OnAllItems();      // 32778
    void OnAbout();         // 57664
    void OnReadSetting();   // the maintenance gesture
    void OnPreview();       // 32779 "プレビュー"

    // The preview window once opened, else null.
    PagePreviewWindow* preview() const { return preview_; }

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    QAction* AddItem(QMenu* menu, const QString& text, int id, const QString& prompt);
    void OnReplyTimer();
    // The store has changed (sheet, file, read-back): the preview follows.
    void StoreChanged();

    SerialLink* link_;
    ReplyPump* pump_;
    CKVT540MView* view_;
    CKVT540MDoc doc_;
    QTimer timer1_;
    bool inTimerTick_ = false;
    MaintenanceGesture gesture_;
    bool shutDown_ = false;
    PagePreviewWindow* preview_ = nullptr;
};

}  // namespace kvt
