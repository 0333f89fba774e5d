#include "app/kvt540m_app.h"

#include <QCoreApplication>

#include "app/main_frame.h"
#include "app/profile.h"
#include "app/reply_pump.h"
#include "serial/command_port.h"
#include "serial/message_box.h"
#include "serial/serial_link.h"
#include "settings/panel_settings.h"

namespace kvt {

CKVT540MApp::CKVT540MApp() = default;

CKVT540MApp::~CKVT540MApp() { ExitInstance(); }

bool CKVT540MApp::InitInstance() {
    if (!lock_.Acquire()) {
        NoticeBox("既に起動しています。");
        return false;
    }
    ResetSettings();
    currentPage = 0;
    slaveNo = 0;
    LoadLinkChoicesFromProfile();

    pump_ = std::make_unique<ReplyPump>();
    ReplyPump* pump = pump_.get();
    link_ = std::make_unique<SerialLink>([pump](const std::string& line) { pump->Post(line); });
    InstallCommandPort(link_.get());
    link_->OpenPort(PortDevicePath(comPortIndex));
    link_->StartReadThread();

    frame_ = std::make_unique<CMainFrame>(link_.get(), pump);
    QObject::connect(frame_.get(), &CMainFrame::quitRequested, qApp, [] { QCoreApplication::exit(0); });
    frame_->show();
    return true;
}

void CKVT540MApp::ExitInstance() {
    // The reader thread posts into the pump: it must be gone first.
    if (link_) {
        link_->CloseLink();
        InstallCommandPort(nullptr);
    }
    frame_.reset();
    link_.reset();
    pump_.reset();
    lock_.Release();
}

}  // namespace kvt
