// The batch command's --background and --part, run as a person runs them: a background picture of
// any kind stretched under the figure, and one mesh file from disk framed in the picture.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <sstream>

#include "app/BatchRender.h"
#include "core/CommandLine.h"

namespace {

struct CommandRun {
    int exitCode;
    std::string err;
};

CommandRun RunCommand(const QStringList& args) {
    const CommandLine c = ParseCommandLine(QStringList{"marisole"} + args);
    EXPECT_EQ(c.action, CommandLine::Action::Render) << c.error;
    std::ostringstream err;
    const int exitCode = RunBatchRender(c, {QCoreApplication::applicationFilePath()}, err);
    return {exitCode, err.str()};
}

// Four quarters of plain colours, so the corners of a stretched picture have known colours.
QImage Quarters(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            image.setPixel(
                x, y, bottom ? (right ? 0xFFE0E020u : 0xFF2020E0u) : (right ? 0xFF20E020u : 0xFFE02020u));
        }
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(BatchBackground, PictureOfAnyKindIsStretchedUnderTheFigure) {
    QTemporaryDir dir;
    const QImage quarters = Quarters(96, 64);
    struct Row {
        const char* file;
        const char* format;
        bool progressive;
        int tolerance;
    } rows[] = {
        {"plain.bmp", "BMP", false, 0},
        {"progressive.jpg", "JPEG", true, 24},
        {"photo.png", "PNG", false, 0},
    };
    for (const Row& r : rows) {
        const QString picture = dir.path() + "/" + r.file;
        QImageWriter writer(picture, r.format);
        writer.setQuality(95);
        writer.setProgressiveScanWrite(r.progressive);
        ASSERT_TRUE(writer.write(quarters)) << r.file;
        const QString out = dir.path() + "/" + r.file + ".bmp";
        const CommandRun run = RunCommand({"--render", out, "--pose-set", "STAND.OBJ", "--background",
                                           picture, "--width", "80", "--height", "60"});
        ASSERT_EQ(run.exitCode, 0) << r.file << "\n" << run.err;
        const QImage rendered(out);
        ASSERT_EQ(rendered.size(), QSize(80, 60)) << r.file;
        struct Corner {
            int x, y;
            QRgb colour;
        } corners[] = {{1, 1, quarters.pixel(0, 0)},
                       {78, 1, quarters.pixel(95, 0)},
                       {1, 58, quarters.pixel(0, 63)},
                       {78, 58, quarters.pixel(95, 63)}};
        for (const Corner& c : corners)
            EXPECT_TRUE(Near(rendered.pixel(c.x, c.y), c.colour, r.tolerance))
                << r.file << " at " << c.x << "," << c.y << ": " << std::hex << rendered.pixel(c.x, c.y);
    }
}

TEST(BatchBackground, PictureThatCannotBeReadFailsTheCommandNamingIt) {
    QTemporaryDir dir;
    QFile text(dir.path() + "/notes.jpg");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    for (const QString& picture : {dir.path() + "/notes.jpg", dir.path() + "/missing.png"}) {
        const QString out = dir.path() + "/out.bmp";
        const CommandRun run =
            RunCommand({"--render", out, "--pose-set", "STAND.OBJ", "--background", picture});
        EXPECT_NE(run.exitCode, 0) << picture.toStdString();
        EXPECT_NE(run.err.find(picture.toStdString()), std::string::npos) << run.err;
        EXPECT_FALSE(QFile::exists(out)) << picture.toStdString();
    }
}

// The rows that hold anything else than the background colour of the corner.
std::pair<int, int> RowsOfTheObject(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    return {top, bottom};
}

// The mesh file of a modelling tool (two boxes, 5 units high together) fills about two thirds of the
// picture's height, in the middle, whatever the shape of the picture.
TEST(BatchPart, MeshFileIsFramedToTwoThirdsOfTheHeight) {
    QTemporaryDir dir;
    const QString part = QStringLiteral(MARISOLE_XFILE_FIXTURES "/exporter.x");
    struct Row {
        int width, height;
    } rows[] = {{160, 120}, {90, 150}, {200, 100}};
    for (const Row& r : rows) {
        const QString out = dir.path() + QString("/part%1x%2.bmp").arg(r.width).arg(r.height);
        const CommandRun run = RunCommand({"--render", out, "--part", part, "--width",
                                           QString::number(r.width), "--height", QString::number(r.height)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage rendered(out);
        ASSERT_EQ(rendered.size(), QSize(r.width, r.height));
        const auto [top, bottom] = RowsOfTheObject(rendered);
        ASSERT_GE(top, 0) << r.width << "x" << r.height << ": nothing drawn";
        const double filled = double(bottom - top + 1) / r.height;
        EXPECT_NEAR(filled, 2.0 / 3.0, 0.04)
            << r.width << "x" << r.height << ": rows " << top << " to " << bottom;
        EXPECT_NEAR((top + bottom) / 2.0, r.height / 2.0, r.height * 0.06) << r.width << "x" << r.height;
    }
}

TEST(BatchPart, FileThatIsRefusedExitsNonZeroWithItsMessage) {
    QTemporaryDir dir;
    struct Row {
        const char* file;
        const char* content;  // null: no file
        const char* said;
    } rows[] = {
        {"binary.x", "xof 0302bin 0032\x0a\x1f\x00", "テキスト形式"},
        {"packed.x", "xof 0303tzip0032\x0a", "テキスト形式"},
        {"empty.x", "xof 0302txt 0064\nHeader {\n 1;\n 0;\n 1;\n}\n", "メッシュがありません"},
        {"missing.x", nullptr, "ファイルが開けません"},
    };
    for (const Row& r : rows) {
        const QString file = dir.path() + "/" + r.file;
        if (r.content) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(r.content);
        }
        const QString out = dir.path() + "/out.bmp";
        const CommandRun run = RunCommand({"--render", out, "--part", file});
        EXPECT_NE(run.exitCode, 0) << r.file;
        EXPECT_NE(run.err.find(file.toStdString()), std::string::npos) << r.file << ": " << run.err;
        EXPECT_NE(run.err.find(r.said), std::string::npos) << r.file << ": " << run.err;
        EXPECT_FALSE(QFile::exists(out)) << r.file;
    }
}

}  // namespace

namespace {

// The first and last columns where anything but the background (the corner's colour) is drawn.
std::pair<int, int> ColumnsOfTheObject(const QImage& image) {
    const QImage turned = image.transformed(QTransform().rotate(90));
    return RowsOfTheObject(turned);
}

}  // namespace

// The standard views look at every shown part from the front, the side, above...: the standing
// figure seen from its side is narrower than from the front, and each view frames it the same way.
TEST(BatchView, TheStandardViewsLookFromTheirSidesAtTheFramedFigure) {
    QTemporaryDir dir;
    std::map<std::string, std::pair<int, int>> widthAndHeight;
    for (const char* view : {"front", "back", "right", "left", "top", "bottom"}) {
        const QString out = dir.path() + QString("/%1.bmp").arg(view);
        const CommandRun run = RunCommand({"--render", out, "--pose-set", "STAND.OBJ", "--width", "160", "--height",
                                           "120", "--no-antialias", "--view", view});
        ASSERT_EQ(run.exitCode, 0) << view << ": " << run.err;
        const QImage rendered(out);
        const auto [top, bottom] = RowsOfTheObject(rendered);
        const auto [left, right] = ColumnsOfTheObject(rendered);
        ASSERT_GE(top, 0) << view << ": nothing drawn";
        widthAndHeight[view] = {right - left + 1, bottom - top + 1};
        // Framed: the whole figure inside the picture, not touching its edges.
        EXPECT_GT(top, 0) << view;
        EXPECT_LT(bottom, 119) << view;
        EXPECT_GT(left, 0) << view;
        EXPECT_LT(right, 159) << view;
    }
    // Standing, the figure is tall from the front, back and sides, and seen from above or below it
    // shows its head or its soles: less tall than wide.
    for (const char* view : {"front", "back", "right", "left"})
        EXPECT_GT(widthAndHeight[view].second, widthAndHeight[view].first * 2) << view;
    for (const char* view : {"top", "bottom"}) EXPECT_LT(widthAndHeight[view].second, widthAndHeight[view].first) << view;
    EXPECT_LT(widthAndHeight["right"].first, widthAndHeight["front"].first * 3 / 4)
        << "the side view shows the figure's depth, not its width";
    EXPECT_LT(widthAndHeight["left"].first, widthAndHeight["front"].first * 3 / 4);
}

TEST(BatchView, AViewThatIsNoneOfTheSixFailsTheCommand) {
    QTemporaryDir dir;
    const CommandRun run =
        RunCommand({"--render", dir.path() + "/x.bmp", "--pose-set", "STAND.OBJ", "--view", "sideways"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("sideways"), std::string::npos) << run.err;
    EXPECT_FALSE(QFile::exists(dir.path() + "/x.bmp"));
}

namespace {

// The runs of columns holding anything but the background, as [first, last] pairs.
std::vector<std::pair<int, int>> OccupiedColumnRuns(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        bool occupied = false;
        for (int y = 0; y < image.height() && !occupied; ++y) occupied = image.pixel(x, y) != background;
        if (!occupied) continue;
        if (!runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.emplace_back(x, x);
    }
    return runs;
}

// The lowest row holding anything in columns [first, last].
int LowestRow(const QImage& image, std::pair<int, int> columns) {
    const QRgb background = image.pixel(0, 0);
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = columns.first; x <= columns.second; ++x)
            if (image.pixel(x, y) != background) return y;
    return -1;
}

}  // namespace

// --pose-set given twice: two figures, side by side with a gap between them, on one floor.
TEST(BatchFigures, TwoPoseSetsGiveTwoFiguresSideBySideOnOneFloor) {
    QTemporaryDir dir;
    const QString one = dir.path() + "/one.bmp", two = dir.path() + "/two.bmp";
    const QStringList common = {"--width", "320", "--height", "120", "--no-antialias", "--view", "front"};
    ASSERT_EQ(RunCommand(QStringList{"--render", one, "--pose-set", "STAND.OBJ"} + common).exitCode, 0);
    const CommandRun run =
        RunCommand(QStringList{"--render", two, "--pose-set", "STAND.OBJ", "--pose-set", "WAVE.OBJ"} + common);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(OccupiedColumnRuns(QImage(one)).size(), 1u) << "one figure";
    const QImage rendered(two);
    const auto runs = OccupiedColumnRuns(rendered);
    ASSERT_EQ(runs.size(), 2u) << "two figures with a gap between them";
    EXPECT_NEAR(LowestRow(rendered, runs[0]), LowestRow(rendered, runs[1]), 2) << "their feet on one floor";
}

TEST(BatchFigures, MoreThanEightPoseSetsAreRefused) {
    QStringList args = {"marisole", "--render", "x.bmp"};
    for (int i = 0; i < 9; ++i) args << "--pose-set" << "STAND.OBJ";
    const CommandLine c = ParseCommandLine(args);
    EXPECT_EQ(c.action, CommandLine::Action::Error);
    EXPECT_NE(c.error.find("8"), std::string::npos) << c.error;
}
