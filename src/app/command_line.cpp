#include "app/command_line.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "version.h"

namespace kvt {

namespace {

// The options QGuiApplication and QApplication take themselves (one dash or
// two): parsed here only so that they are not refused.
void AddQtOptions(QCommandLineParser& parser) {
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "geometry",
                             "title", "icon", "session", "display", "name", "style",
                             "stylesheet", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "sync", "nograb", "dograb"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

}  // namespace

int AnswerCommandLine(int argc, char* argv[], QString* file, QString* sheet) {
    // The parser's usage line names the program as it was started.
    int appArgc = 1;
    QCoreApplication app(appArgc, argv);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Composes what an LED message sign shows (texts, colours, blink, fill\n"
        "bordering, white level, display time, page sequencing, position trim),\n"
        "keeps it in a settings file (*.dat) and sends it to the sign over a serial\n"
        "line. The port and the line type are set in the window (Set menu) and kept\n"
        "in the profile $XDG_CONFIG_HOME/KVT540M.INI. FILE.dat, when given, is\n"
        "opened at start as File > Open would. See kvt540m(1)."));
    const QCommandLineOption fleet(QStringLiteral("fleet"),
                                   QStringLiteral("Open the fleet window (Set > Fleet...) on the "
                                                  "sheet of signs SHEET.csv once the main window "
                                                  "is up."),
                                   QStringLiteral("SHEET.csv"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(fleet);
    AddQtOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.dat"),
                                 QStringLiteral("A settings file to open at start."),
                                 QStringLiteral("[FILE.dat]"));

    const char* const name = "kvt540m";
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("unexpected argument '%1'")
                                        .arg(parser.positionalArguments().at(1))
                                  : parser.errorText();
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", name, qPrintable(error), name);
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
    } else if (parser.isSet(version)) {
        std::printf("%s %s\n", name, kVersion);
    } else {
        // Made absolute as the file dialog gives it: the caption shows it so.
        const QStringList files = parser.positionalArguments();
        if (file) *file = files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
        if (sheet)
            *sheet = parser.isSet(fleet) ? QFileInfo(parser.value(fleet)).absoluteFilePath() : QString();
        return -1;
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace kvt
