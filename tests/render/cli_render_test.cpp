// kvt540m-cli render as scripts use it: the PNG files it writes, their size
// for a scale, a known dot's colour, and its failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "support/child.h"

#include "support/led_picture.h"
#include "support/test_paths.h"

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

Result Cli(const QStringList& args) {
    const kvt::test::TempDir scratch;
    std::vector<std::string> words;
    for (const QString& arg : args) words.push_back(arg.toStdString());
    const kvt::test::ToolResult r = kvt::test::RunTool(KVT_CLI_PATH, words, scratch.path());
    return {r.status, QString::fromStdString(r.out), QString::fromStdString(r.err)};
}

QString Data(const char* name) { return QString(KVT_TEST_DATA) + "/" + name; }

// The middle pixel of dot (x, y) of line `line`.
QRgb DotPixel(const QImage& image, int scale, int line, int x, int y) {
    return image.pixel(x * scale + scale / 2, (line * 16 + y) * scale + scale / 2);
}

class CliRender : public ::testing::Test {
protected:
    kvt::test::TempDir dir;
    QString Path(const QString& name) const {
        return QString::fromStdString(dir / name.toStdString());
    }
};

TEST_F(CliRender, OnePageAtAScale) {
    // colours.dat, page 13: every line filled; line 2 is black on red.
    Result r = Cli({"render", Data("colours.dat"), "--page", "13", "--scale", "3", "--out",
                    Path("p13.png")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, Path("p13.png") + "\n");
    EXPECT_EQ(r.err, QString());
    QImage image(Path("p13.png"));
    EXPECT_EQ(image.size(), QSize(224 * 3, 112 * 3));
    EXPECT_EQ(DotPixel(image, 3, 1, 223, 8), qRgb(255, 0, 0));
    // The same page at white level Low, at the default scale of 4.
    r = Cli({"render", Data("colours-low.dat"), "--page=13", "--out", Path("low.png")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    image = QImage(Path("low.png"));
    EXPECT_EQ(image.size(), QSize(224 * 4, 112 * 4));
    EXPECT_EQ(DotPixel(image, 4, 1, 223, 8), qRgb(128, 0, 0));
    // Without --page: the page the file selects (page 1, white strokes on black).
    r = Cli({"render", Data("sample.dat"), "--scale", "1", "--out", Path("selected.png")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(QImage(Path("selected.png")).size(), QSize(224, 112));
}

TEST_F(CliRender, AllWritesOnePicturePerPageWithContent) {
    const QString folder = Path("pages/new");  // made as needed
    Result r = Cli({"render", Data("colours.dat"), "--all", "--out", folder, "--scale", "2"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QStringList written = QDir(folder).entryList(QDir::Files, QDir::Name);
    QStringList expected;
    for (int p = 1; p <= 24; ++p) expected << QString("page%1.png").arg(p, 2, 10, QChar('0'));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(r.out.count('\n'), 24);
    EXPECT_EQ(QImage(folder + "/page24.png").size(), QSize(448, 224));
}

// Every colour's dots are its own colour, at both white levels.
TEST_F(CliRender, EveryColourIsDrawnInItsOwnColour) {
    for (const char* file : {"colours.dat", "colours-low.dat"}) {
        const bool low = QString(file).contains("low");
        const QString folder = Path(file);
        ASSERT_EQ(Cli({"render", Data(file), "--all", "--out", folder, "--scale", "1"}).status, 0);
        for (int p = 0; p < 24; ++p) {
            const QImage image(folder + QString("/page%1.png").arg(p + 1, 2, 10, QChar('0')));
            for (int line = 0; line < 7; ++line)
                EXPECT_EQ(kvt::test::LineColours(image, 1, line),
                          kvt::test::SampleLineColours(p, line, low))
                    << file << " page " << p + 1 << " line " << line + 1;
        }
    }
}

TEST_F(CliRender, FailuresAreReported) {
    Result r = Cli({"render", Data("sample.dat"), "--page", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QString("kvt540m-cli: render needs --out\nTry 'kvt540m-cli --help'.\n"));
    r = Cli({"render", Data("sample.dat"), "--all", "--page", "1", "--out", Path("x")});
    EXPECT_EQ(r.status, 2);
    r = Cli({"render", Data("sample.dat"), "--scale", "0", "--out", Path("x.png")});
    EXPECT_EQ(r.status, 2);
    r = Cli({"render", Path("missing.dat"), "--out", Path("x.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QString("Can't file open\n"));
    // A picture that cannot be written is no success, and is not listed.
    for (const QString& out : {Path("no/such/folder/x.png"), QString("/dev/full")}) {
        r = Cli({"render", Data("sample.dat"), "--out", out});
        EXPECT_EQ(r.status, 1) << out.toStdString();
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.contains("cannot write")) << r.err.toStdString();
    }
    // A file with no page to show: nothing written, and said so.
    ASSERT_EQ(Cli({"new", Path("empty.dat")}).status, 0);
    r = Cli({"render", Path("empty.dat"), "--all", "--out", Path("none")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(QDir(Path("none")).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(r.err.contains("nothing written"));
}

}  // namespace
