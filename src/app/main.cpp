// kvt540m: composes what the sign shows and sends it over the serial line.
#include <csignal>

#include <QApplication>

#include "app/app_icons.h"
#include "app/command_line.h"
#include "app/kvt540m_app.h"
#include "app/ui_language.h"
#include "loop/open_files.h"

int main(int argc, char* argv[]) {
    // Under a file-size limit a save then fails with EFBIG and reports
    // "Can't file write" (the old file kept, no temporary left) instead of
    // the signal ending the program half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);
    // A fleet holds a descriptor a line.
    kvt::RaiseOpenFileLimit();
    QString file, sheet;
    const int answered = kvt::AnswerCommandLine(argc, argv, &file, &sheet);
    if (answered >= 0) return answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVT-540M"));
    // The desktop entry's name: Wayland's app id and the X11 hint that tie
    // the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KVT_APP_ID));
    QApplication::setWindowIcon(kvt::AppIcon());
    kvt::InstallTranslations(kvt::StartLanguage());
    kvt::CKVT540MApp theApp;
    if (!theApp.InitInstance(file, sheet)) return 0;
    int code = QApplication::exec();
    theApp.ExitInstance();
    return code;
}
