// render: pictures of pages as PNG files, drawn without a display.
#include <cstdio>

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>

#include "render/page_image.h"
#include "protocol/slave_list.h"
#include "settings/panel_settings.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

constexpr int kDefaultScale = 4;

// Qt's own notes (a missing runtime folder and the like) would mix with the
// tool's messages; the tool reports what matters itself.
void DropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kvt540m-cli: %s\n", text.toLocal8Bit().constData());
}

// Drawing text needs a QGuiApplication; the offscreen platform gives one
// without a display. Only this command starts it.
class OffscreenGui {
public:
    OffscreenGui() : app_(argc_, argv_) {}

private:
    char name_[12] = "kvt540m-cli";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    // Quiet from before the application starts until after it has ended.
    struct QuietQt {
        QtMessageHandler previous = qInstallMessageHandler(DropQtNotes);
        ~QuietQt() { qInstallMessageHandler(previous); }
    } quiet_;
    QGuiApplication app_;
};

std::string PagePath(const std::string& folder, int page) {
    return folder + "/page" + TwoDigits(page + 1) + ".png";
}

// Writes the picture and names it on standard output.
bool WritePng(const QImage& image, const std::string& path) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") ||
        SaveWholeFile(path, png.toStdString()) != SaveResult::Ok) {
        std::fprintf(stderr, "kvt540m-cli: cannot write %s\n", Clipped(path).c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int RunRender(const Args& args) {
    if (args.positional.size() != 1)
        return UsageError(args.positional.empty() ? "render needs FILE.dat"
                                                  : "render: too many arguments");
    if (args.out.empty()) return UsageError("render needs --out");
    if (args.all && args.page != 0) return UsageError("render takes --page or --all, not both");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    const int page = args.page != 0 ? args.page - 1 : session.currentPage;
    if (!args.all && (page < 0 || page >= kPageCount)) {
        std::fprintf(stderr, "kvt540m-cli: the file selects no page 1..32; give --page\n");
        return kExitFailed;
    }

    OffscreenGui gui;
    DotFont font;
    if (!font.family().startsWith(QStringLiteral("IPAGothic")))
        std::fprintf(stderr,
                     "kvt540m-cli: font IPAGothic not found (fonts-ipafont-gothic); using %s\n",
                     font.family().toUtf8().constData());
    const int scale = args.scale != 0 ? args.scale : kDefaultScale;
    const PanelSettings& s = session.panelSettings;
    if (!args.all)
        return WritePng(RenderPage(s, page, font, scale), args.out) ? kExitOk : kExitFailed;

    if (!QDir().mkpath(QString::fromStdString(args.out))) {
        std::fprintf(stderr, "kvt540m-cli: cannot make the folder %s\n",
                     Clipped(args.out).c_str());
        return kExitFailed;
    }
    bool any = false;
    for (int p = 0; p < kPageCount; ++p) {
        if (PageIsEmpty(s, p)) continue;
        any = true;
        if (!WritePng(RenderPage(s, p, font, scale), PagePath(args.out, p))) return kExitFailed;
    }
    if (!any) std::fprintf(stderr, "kvt540m-cli: no page has anything to show; nothing written\n");
    return kExitOk;
}

}  // namespace kvt::cli
