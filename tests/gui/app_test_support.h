// Helpers for the application's window tests.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "support/test_paths.h"

namespace kvt::test {

// Calls act with the next modal window once it is up (a dialog run with
// exec(), or a message box). Polls on the event loop; never blocks. A modal
// window that act leaves open (a check in it failed, say) is closed after
// boundMs, so that the exec() that shows it returns and the test ends.
inline void WhenModal(std::function<void(QWidget*)> act, int boundMs = 15000) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act, boundMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        QPointer<QWidget> shown(modal);
        act(modal);
        QTimer::singleShot(boundMs, [shown] {
            if (!shown || !shown->isVisible()) return;
            qWarning("closing the modal window %s that the test left open",
                     qPrintable(shown->objectName()));
            if (auto* dialog = qobject_cast<QDialog*>(shown.data())) dialog->reject();
            else shown->close();
        });
    });
    poll->start();
}

// Points the program's profile at a private folder: KVT540M.INI there.
inline void UsePrivateProfile(const QTemporaryDir& dir) {
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
}

inline QString ProfileFile(const QTemporaryDir& dir) { return dir.path() + "/KVT540M.INI"; }

inline void SetPortDevice(const QTemporaryDir& dir, int portIndex, const QString& device) {
    QSettings profile(ProfileFile(dir), QSettings::IniFormat);
    profile.setValue(QString("Devices/COM%1").arg(portIndex + 1), device);
    profile.sync();
}

// A child process that ends with the test: terminated (killed if need be)
// when this object goes, and killed by the kernel should the test process
// die first (a time-out, a crash).
class ChildProcess {
public:
    ChildProcess() {
        const pid_t parent = ::getpid();
        process_.setChildProcessModifier([parent] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(127);  // the test is gone already
        });
    }
    ~ChildProcess() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (process_.waitForFinished(3000)) return;
        process_.kill();
        process_.waitForFinished(3000);
    }
    QProcess& process() { return process_; }
    const QProcess& process() const { return process_; }

private:
    QProcess process_;
};

// The simulated sign on a pty; its far end is reachable through link.
class SimulatedSign {
public:
    SimulatedSign(const QString& folder, const QStringList& extra = {})
        : link_(folder + "/port"), log_(folder + "/sign.log") {
        QStringList args{"--link", link_, "--log", log_};
        child_.process().start(QString(KVT_SIM_PATH), args + extra);
        child_.process().waitForReadyRead(5000);  // it prints its device when ready
    }
    bool running() const { return child_.process().state() == QProcess::Running; }
    QString link() const { return link_; }

    // The received lines, without time stamps and line ends.
    QStringList Lines() const { return Entries(false); }
    // The receive times in seconds of the monotonic clock.
    QList<double> Times() const {
        QList<double> times;
        for (const QString& t : Entries(true)) times << t.toDouble();
        return times;
    }

private:
    QStringList Entries(bool times) const {
        QFile file(log_);
        QStringList out;
        if (!file.open(QIODevice::ReadOnly)) return out;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            if (raw.isEmpty()) continue;
            int space = raw.indexOf(' ');
            out << QString::fromLatin1(times ? raw.left(space) : raw.mid(space + 1));
        }
        return out;
    }

    QString link_;
    QString log_;
    ChildProcess child_;
};

}  // namespace kvt::test
