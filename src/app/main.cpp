// kvt540m: composes what the sign shows and sends it over the serial line.
#include <csignal>

#include <QApplication>

#include "app/app_icons.h"
#include "app/kvt540m_app.h"

int main(int argc, char* argv[]) {
    // Under a file-size limit a save then fails with EFBIG and reports
    // "Can't file write" (the old file kept, no temporary left) instead of
    // the signal ending the program half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVT-540M"));
    QApplication::setWindowIcon(kvt::AppIcon());
    kvt::CKVT540MApp theApp;
    if (!theApp.InitInstance()) return 0;
    int code = QApplication::exec();
    theApp.ExitInstance();
    return code;
}
