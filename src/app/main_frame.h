// The main window: menus, status bar, the beat of the reply time-out, the
// fast-transfer choice, the maintenance gesture and the exit procedure.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "app/kvt540m_doc.h"
#include "app/maintenance_gesture.h"
#include "fleet/fleet_dlg.h"
#include "fleet/loop_fleet_driver.h"
#include "serial/port_discovery.h"
#include "transfer/pacing.h"

class QAction;
class QMenu;

namespace kvt {

class CKVT540MView;
class PagePreviewWindow;
class ReplyPump;
class ReplyTimer;
class RunEngine;
class Session;
class SignLine;

class CMainFrame : public QMainWindow, private CFleetDlg::Host {
    Q_OBJECT
public:
    // pump: the reply pump to stop at shut-down (null when replies are fed
    // to the session directly, e.g. in tests). The fast-transfer choice is
    // read from the profile.
    CMainFrame(SignLine& line, ReplyPump* pump = nullptr, QWidget* parent = nullptr);

    CKVT540MView* view() const { return view_; }
    CKVT540MDoc& doc() { return doc_; }

    // The exit command and the close box: with unsaved changes asks first;
    // "No" saves (save as without a file name) and keeps the program open.
    void ExitProcedure();
    // Reply time-out stopped, link closed, window closed, then quitRequested,
    // which the application answers by ending its event loop.
    void ShutDown();
    bool hasShutDown() const { return shutDown_; }

    // The File menu's "開く" with the file already chosen.
    void OpenFile(const QString& path) override;

    void OnCommSetting();   // 32772
    void OnAllItems();      // 32778
    void OnAbout();         // 57664
    void OnReadSetting();   // the maintenance gesture
    void OnPreview();       // 32780 "プレビュー"
    void OnDeviceSetting(); // 32781 "デバイスの設定"
    void OnMultiSign();     // 32782 "複数表示器へ送信"
    // 32784 "フリート...": the fleet window, on the sheet when one is given.
    // It keeps its sheet and results from one opening to the next.
    void OnFleet(const QString& sheet = QString());
    CFleetDlg* fleet() const { return fleet_.get(); }
    // Where the fleet window's runs go on (tests give their own).
    void SetFleetDrivers(CFleetDlg::DriverMaker drivers) { fleetDrivers_ = std::move(drivers); }

    // Where "デバイスの設定" looks for serial devices (tests give their own).
    void SetDeviceDiscovery(std::function<std::vector<SerialPortInfo>()> discover) {
        discover_ = std::move(discover);
    }

    // The preview window once opened, else null.
    PagePreviewWindow* preview() const { return preview_; }

    // "高速転送" (32779): the all-items and read-back runs go at the pace of
    // the sign's replies instead of their fixed ticks.
    bool fastTransfer() const;
    void SetFastTransfer(bool on);

    // "English" (32783, the last entry of "Information"): the language of
    // the windows from the next start on, kept in the profile; a box says so.
    void SetEnglish(bool on);

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    QAction* AddItem(QMenu* menu, const QString& text, int id, const QString& prompt);
    // The pacing of the all-items and read-back runs.
    Pacing TransferPacing();
    // The store has changed (sheet, file, read-back): the preview follows.
    void StoreChanged();
    // CFleetDlg::Host
    MessageBoxSeam& boxes() override;
    std::string OwnDevice() override;
    void LendOwnPort(bool lent) override;
    QString OwnPortName() const;

    SignLine& line_;
    Session& session_;
    RunEngine& engine_;
    ReplyTimer& replyTimer_;
    ReplyPump* pump_;
    CKVT540MView* view_;
    CKVT540MDoc doc_;
    QAction* fastTransfer_ = nullptr;
    QAction* english_ = nullptr;
    MaintenanceGesture gesture_;
    bool shutDown_ = false;
    PagePreviewWindow* preview_ = nullptr;
    std::unique_ptr<CFleetDlg> fleet_;
    CFleetDlg::DriverMaker fleetDrivers_ = [] { return std::make_unique<LoopFleetDriver>(); };
    std::function<std::vector<SerialPortInfo>()> discover_ = [] { return DiscoverSerialPorts(); };
};

}  // namespace kvt
