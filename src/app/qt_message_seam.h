// The message-box seam of the application: every box the core describes is
// shown as a QMessageBox on the window thread.
#pragma once

#include <QObject>

#include "serial/message_box.h"

namespace kvt {

class QtMessageSeam : public QObject, public MessageBoxSeam {
    Q_OBJECT
public:
    // Installs itself; the destructor restores the default seam.
    QtMessageSeam();
    ~QtMessageSeam() override;

    // Shows the box and waits until it is dismissed. Called off the window
    // thread, it hands the box over with a blocking queued call.
    BoxResult Show(const BoxRequest& box) override;

private:
    BoxResult ShowHere(const BoxRequest& box);
};

}  // namespace kvt
