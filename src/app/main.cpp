// kvt540m: composes what the sign shows and sends it over the serial line.
#include <QApplication>

#include "app/app_icons.h"
#include "app/kvt540m_app.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVT-540M"));
    QApplication::setWindowIcon(kvt::AppIcon());
    kvt::CKVT540MApp theApp;
    if (!theApp.InitInstance()) return 0;
    int code = QApplication::exec();
    theApp.ExitInstance();
    return code;
}
