// The message-box seam of the window program's session: every box the core
// describes is shown as a QMessageBox on the window thread.
#pragma once

#include <condition_variable>
#include <mutex>

#include <QObject>
#include <QString>

#include "session/message_box.h"

namespace kvt {

// A box's text or caption as the windows show it: translated where the
// texts marked QT_TRANSLATE_NOOP("kvt::Box", ...) have a translation (the
// core's, the application's), otherwise as it stands.
QString BoxText(const std::string& text);

class QtMessageSeam : public QObject, public MessageBoxSeam {
    Q_OBJECT
public:
    // Lives on the window thread: the thread that creates it.
    QtMessageSeam() = default;

    // Shows the box and waits until it is dismissed. Called off the window
    // thread, it hands the box over to the window thread and waits there
    // for the answer.
    BoxResult Show(const BoxRequest& box) override;

private slots:
    void ShowHandedOver();

private:
    BoxResult ShowHere(const BoxRequest& box);

    // One box at a time comes from other threads.
    std::mutex callerMutex_;
    // The hand-over: guarded by mutex_.
    std::mutex mutex_;
    std::condition_variable answered_;
    const BoxRequest* pending_ = nullptr;
    bool done_ = false;
    BoxResult result_ = BoxResult::Ok;
};

}  // namespace kvt
