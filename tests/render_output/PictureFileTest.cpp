#include "render/output/PictureFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <zlib.h>

#include "platform/rm/WorkerPool.h"
#include "render/output/BmpImage.h"

namespace {

// A 32-bit surface whose every pixel differs from its neighbours in every channel.
std::vector<std::uint32_t> Pattern(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint32_t> pixels(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            pixels[y * width + x] = ((x * 37 + y * 11) & 0xFF) << 16 | ((x * 5 + y * 91) & 0xFF) << 8 |
                                    ((x * y + 3 * x + 250) & 0xFF);
    return pixels;
}

std::vector<std::uint8_t> Bmp(std::uint32_t width, std::uint32_t height, bool antialias) {
    const std::uint32_t scale = antialias ? 2 : 1;
    const auto pixels = Pattern(width * scale, height * scale);
    const SurfacePixels view{reinterpret_cast<const std::uint8_t*>(pixels.data()),
                             static_cast<std::ptrdiff_t>(width * scale * 4), width * scale, height * scale};
    return EncodeBmp24(view, width, height, antialias);
}

// A picture of pseudo-random pixels.
std::vector<std::uint8_t> NoiseBmp(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint32_t> pixels(std::size_t{width} * height);
    std::uint32_t seed = 2024;
    for (auto& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = seed >> 8;
    }
    const SurfacePixels view{reinterpret_cast<const std::uint8_t*>(pixels.data()),
                             static_cast<std::ptrdiff_t>(width * 4), width, height};
    return EncodeBmp24(view, width, height, false);
}

QImage Decoded(const std::vector<std::uint8_t>& bytes) {
    return QImage::fromData(bytes.data(), static_cast<int>(bytes.size())).convertToFormat(QImage::Format_RGB32);
}

QByteArray Contents(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PictureFile, TheNameDecidesTheFormat) {
    const struct {
        const char* path;
        PictureFileFormat format;
    } cases[] = {
        {"/r/out.png", PictureFileFormat::Png},    {"/r/out.PNG", PictureFileFormat::Png},
        {"/r/out.Png", PictureFileFormat::Png},    {"/r/out.bmp", PictureFileFormat::Bmp},
        {"/r/out.BMP", PictureFileFormat::Bmp},    {"/r/out", PictureFileFormat::Bmp},
        {"/r/out.jpg", PictureFileFormat::Bmp},    {"/r/out.png.bmp", PictureFileFormat::Bmp},
        {"/r/x.png/out", PictureFileFormat::Bmp},  {"/r/out.pngx", PictureFileFormat::Bmp},
        {"/r/.png", PictureFileFormat::Png},       {"", PictureFileFormat::Bmp},
    };
    for (const auto& c : cases) EXPECT_EQ(PictureFormatOfName(c.path), c.format) << c.path;
}

TEST(PictureFile, ThePngHoldsTheBmpsPixelsExactly) {
    const struct {
        std::uint32_t width, height;
        bool antialias;
    } cases[] = {{1, 1, false}, {3, 2, false}, {17, 5, true}, {64, 48, false}, {33, 31, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.antialias ? " aa" : ""));
        const auto bmp = Bmp(c.width, c.height, c.antialias);
        ASSERT_FALSE(bmp.empty());
        const auto png = EncodePngFromBmp24(bmp);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(std::string(png.begin(), png.begin() + 4), "\x89PNG");
        const QImage fromBmp = Decoded(bmp), fromPng = Decoded(png);
        ASSERT_EQ(fromBmp.size(), QSize(int(c.width), int(c.height)));
        EXPECT_EQ(fromPng, fromBmp);
    }
}

// The chunk types of a PNG file in their order, and the data of its pHYs chunk when it has one.
struct PngChunks {
    std::vector<std::string> types;
    std::vector<std::uint8_t> physicalSize;
};

PngChunks ReadChunks(const std::vector<std::uint8_t>& png) {
    PngChunks chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            std::size_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        chunks.types.push_back(type);
        if (type == "pHYs" && at + 8 + length <= png.size())
            chunks.physicalSize.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    return chunks;
}

void PutLittleEndian32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The PNG's resolution is the BMP's, never the screen's of the process that writes it (a window
// and a run without one would write different bytes): the render's BMP says none (0), so the PNG
// has no pHYs chunk; pixels per metre in the BMP's header come out in pHYs, unit metre.
TEST(PictureFile, ThePngTakesItsResolutionFromTheBmpHeader) {
    const auto unknown = Bmp(5, 3, false);
    ASSERT_EQ(std::vector<std::uint8_t>(unknown.begin() + 38, unknown.begin() + 46),
              std::vector<std::uint8_t>(8, 0));
    const PngChunks plain = ReadChunks(EncodePngFromBmp24(unknown));
    EXPECT_EQ(plain.types.front(), "IHDR");
    EXPECT_EQ(plain.types.back(), "IEND");
    EXPECT_TRUE(std::find(plain.types.begin(), plain.types.end(), "IDAT") != plain.types.end());
    EXPECT_TRUE(std::find(plain.types.begin(), plain.types.end(), "pHYs") == plain.types.end());

    auto known = unknown;
    PutLittleEndian32(known, 38, 3780);  // 96 dpi across
    PutLittleEndian32(known, 42, 2835);  // 72 dpi down
    const auto png = EncodePngFromBmp24(known);
    const PngChunks stated = ReadChunks(png);
    // 3780 = 0x0EC4, 2835 = 0x0B13, then the unit byte 1 (metre).
    EXPECT_EQ(stated.physicalSize, (std::vector<std::uint8_t>{0, 0, 0x0E, 0xC4, 0, 0, 0x0B, 0x13, 1}));
    EXPECT_EQ(Decoded(png), Decoded(known));
}

// The zlib stream of a PNG: its IDAT chunks' data laid end to end.
std::vector<std::uint8_t> ImageData(const std::vector<std::uint8_t>& png, int* idatChunks) {
    std::vector<std::uint8_t> data;
    *idatChunks = 0;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length =
            std::size_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT") {
            ++*idatChunks;
            data.insert(data.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    return data;
}

// A large picture is deflated in pieces by several threads: the pieces make one zlib stream whose
// checksum holds, every row with its filter byte, the pixels exactly the BMP's, and the file is the
// same bytes with one thread and with three.
TEST(PictureFile, ALargePngIsDeflatedInPiecesThatMakeOneStream) {
    const std::uint32_t width = 300, height = 2500;
    auto bmp = Bmp(width, height, false);
    // Noise in a band across the middle, so that some pieces compress and some do not.
    const auto noise = NoiseBmp(width, 400);
    std::copy(noise.begin() + 54, noise.end(), bmp.begin() + 54 + BmpStride(width) * 1000);
    std::vector<std::uint8_t> pngs[2];
    for (int i = 0; i < 2; ++i) {
        const rm::ScopedPoolThreads threads(i == 0 ? 1 : 3);
        pngs[i] = EncodePngFromBmp24(bmp);
    }
    ASSERT_FALSE(pngs[0].empty());
    EXPECT_EQ(pngs[1], pngs[0]);

    int idatChunks = 0;
    const std::vector<std::uint8_t> stream = ImageData(pngs[0], &idatChunks);
    EXPECT_GE(idatChunks, 2) << "one piece only: the test does not reach the joins";
    std::vector<std::uint8_t> rows(std::size_t{height} * (3 * width + 1) + 1);
    uLongf length = static_cast<uLongf>(rows.size());
    ASSERT_EQ(uncompress(rows.data(), &length, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
    EXPECT_EQ(length, uLongf{height} * (3 * width + 1));
    EXPECT_EQ(Decoded(pngs[0]), Decoded(bmp));
}

TEST(PictureFile, BytesThatAreNotOurBmpGiveNoPng) {
    auto bmp = Bmp(4, 4, false);
    auto wrongDepth = bmp;
    wrongDepth[28] = 32;
    // One byte short (built from a range: gcc's bounds warnings misread a resize or a pop_back here).
    const std::vector<std::uint8_t> cut(bmp.begin(), bmp.begin() + std::ptrdiff_t(bmp.size()) - 1);
    auto huge = bmp;
    huge[22] = 0xFF;  // a height the bytes do not hold
    huge[23] = 0xFF;
    const std::vector<std::uint8_t> cases[] = {{}, {'B', 'M'}, wrongDepth, cut, huge,
                                               std::vector<std::uint8_t>(54, 0)};
    for (const auto& bytes : cases) EXPECT_TRUE(EncodePngFromBmp24(bytes).empty()) << bytes.size();
}

TEST(PictureFile, WritingFollowsTheNameAndReplacesTheFile) {
    QTemporaryDir dir;
    const auto bmp = Bmp(9, 7, false);
    const std::string bmpPath = dir.path().toStdString() + "/a.bmp";
    const std::string pngPath = dir.path().toStdString() + "/a.png";
    ASSERT_TRUE(WriteRenderedPicture(bmpPath, bmp));
    ASSERT_TRUE(WriteRenderedPicture(pngPath, bmp));
    EXPECT_EQ(Contents(bmpPath), QByteArray(reinterpret_cast<const char*>(bmp.data()), qsizetype(bmp.size())));
    const QByteArray png = Contents(pngPath);
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(png).convertToFormat(QImage::Format_RGB32), Decoded(bmp));
    // A second picture replaces the first.
    const auto other = Bmp(2, 2, false);
    ASSERT_TRUE(WriteRenderedPicture(pngPath, other));
    EXPECT_EQ(QImage::fromData(Contents(pngPath)).size(), QSize(2, 2));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";
}

TEST(PictureFile, AFailedPngWriteLeavesNoFileAndKeepsAnEarlierOne) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/out.png";
    const auto small = Bmp(2, 2, false);
    ASSERT_TRUE(WriteRenderedPicture(path, small));
    const QByteArray earlier = Contents(path);

    // A folder that does not exist: nothing is written anywhere.
    const std::string missing = dir.path().toStdString() + "/missing/out.png";
    EXPECT_FALSE(WriteRenderedPicture(missing, small));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));

    // Bytes that are no picture: the earlier file stays.
    EXPECT_FALSE(WriteRenderedPicture(path, {'B', 'M', 0}));
    EXPECT_EQ(Contents(path), earlier);

    // A write that fails part-way (a file size limit, as a full disk would): the earlier file stays,
    // and so does no temporary file. Noise does not compress, so the PNG is far above 4 KiB.
    const auto large = NoiseBmp(256, 256);
    ASSERT_GT(EncodePngFromBmp24(large).size(), 16384u);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &tight);
    const bool written = WriteRenderedPicture(path, large);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(path), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.png")});

    // A name with no earlier file: a failed write leaves none.
    const std::string fresh = dir.path().toStdString() + "/fresh.png";
    setrlimit(RLIMIT_FSIZE, &tight);
    signal(SIGXFSZ, SIG_IGN);
    const bool freshWritten = WriteRenderedPicture(fresh, large);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(freshWritten);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(fresh)));
}

}  // namespace
