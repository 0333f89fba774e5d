// Helpers for the application's window tests.
#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace kvt::test {

// Calls act with the next modal window once it is up (a dialog run with
// exec(), or a message box). Polls on the event loop; never blocks.
inline void WhenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
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

// The simulated sign on a pty; its far end is reachable through link.
class SimulatedSign {
public:
    SimulatedSign(const QString& folder, const QStringList& extra = {})
        : link_(folder + "/port"), log_(folder + "/sign.log") {
        QStringList args{"--link", link_, "--log", log_};
        process_.start(QStringLiteral(KVT_SIM_PATH), args + extra);
        process_.waitForReadyRead(5000);  // it prints its device when ready
    }
    ~SimulatedSign() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool running() const { return process_.state() == QProcess::Running; }
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
    QProcess process_;
};

}  // namespace kvt::test
