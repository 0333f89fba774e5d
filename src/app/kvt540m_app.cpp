#include "app/kvt540m_app.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/main_frame.h"
#include "profile/profile.h"
#include "app/qt_clock.h"

namespace kvt {

namespace {

Clock& ClockOrQt(Clock* given, std::unique_ptr<QtClock>* own) {
    if (given) return *given;
    *own = std::make_unique<QtClock>();
    return **own;
}

}  // namespace

CKVT540MApp::CKVT540MApp(Clock* clock)
    : clock_(ClockOrQt(clock, &qtClock_)),
      session_(&seam_),
      pump_(session_),
      line_(session_, clock_) {
    session_.link().SetConsumer([this](const std::string& line) { pump_.Post(line); });
}

CKVT540MApp::~CKVT540MApp() { ExitInstance(); }

bool CKVT540MApp::InitInstance(const QString& file, const QString& sheet) {
    if (!lock_.Acquire()) {
        session_.NoticeBox(QT_TRANSLATE_NOOP("kvt::Box", "既に起動しています。"));
        return false;
    }
    session_.ResetSettings();
    session_.currentPage = 0;
    session_.slaveNo = 0;
    LoadLinkChoicesFromProfile(&session_.comPortIndex, &session_.lineMode);

    StartTrace();
    SerialLink& link = session_.link();
    link.OpenPort(PortDevicePath(session_.comPortIndex));
    link.StartReadThread();

    frame_ = std::make_unique<CMainFrame>(line_, &pump_);
    QObject::connect(frame_.get(), &CMainFrame::quitRequested, qApp, [] { QCoreApplication::exit(0); });
    frame_->show();
    if (!file.isEmpty()) frame_->OpenFile(file);
    // Once the program's event loop runs: the window is modal.
    if (!sheet.isEmpty())
        QTimer::singleShot(0, frame_.get(), [this, sheet] { frame_->OnFleet(sheet); });
    return true;
}

void CKVT540MApp::StartTrace() {
    const std::string path = ReadProfileString(LinkSectionKey(kTraceFileKey));
    if (path.empty()) return;
    // Reported from the trace's own thread: the box waits for the window
    // thread, and the trace never waits for the box.
    trace_ = std::make_unique<Trace>(path, [this](const std::string& text) {
        QMetaObject::invokeMethod(qApp, [this, text] { session_.Report(Outcome::Link(text)); },
                                  Qt::QueuedConnection);
    });
    if (trace_->Open()) session_.link().SetTrace(trace_.get());
}

void CKVT540MApp::ExitInstance() {
    // The reader thread posts into the pump: it must be gone first.
    session_.link().CloseLink();
    session_.link().SetTrace(nullptr);
    trace_.reset();
    pump_.Stop();
    frame_.reset();
    lock_.Release();
}

}  // namespace kvt
