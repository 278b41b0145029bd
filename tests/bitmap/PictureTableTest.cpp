// Pictures a person has today, as backgrounds, previews and eye textures: JPEG of every common
// kind, PNG of every common kind and BMP, made in the test by Qt's writers, byte surgery on what
// they write, and the system's cjpeg where it is installed. Each row loads with the picture's
// corner colours or fails cleanly; our own decoder keeps the files it takes, pixel for pixel.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <array>

#include "PictureFiles.h"
#include "platform/rm/Library.h"
#include "render/bitmap/JpegSurface.h"
#include "render/bitmap/PictureLoading.h"
#include "render/bitmap/PictureReader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Corners = std::array<QRgb, 4>;  // top left, top right, bottom left, bottom right (0xRRGGBB)

// 4 × 2 tiles of 16 pixels: the corners are red, yellow, magenta and white.
const Corners kTileCorners = {0xFF0000, 0xFFFF00, 0xFF00FF, 0xFFFFFF};

Bytes Written(const QImage& image, const char* format, const std::function<void(QImageWriter&)>& options = {}) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (options) options(writer);
    EXPECT_TRUE(writer.write(image)) << format << " " << writer.errorString().toStdString();
    return {bytes.begin(), bytes.end()};
}

// Where the segment that starts at `at` (its FF) ends.
std::size_t SegmentEnd(const Bytes& jpeg, std::size_t at) {
    return at + 2 + (std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
}

// The same JPEG with a camera's metadata block (APP1 "Exif") first, before its JFIF header.
Bytes MetadataFirst(const Bytes& jfif) {
    const Bytes exif = {0xFF, 0xE1, 0x00, 0x16, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0,
                        8,    0,    0,    0,    0,   0,   0,   0,   0, 0};
    Bytes out(jfif.begin(), jfif.begin() + 2);
    out.insert(out.end(), exif.begin(), exif.end());
    out.insert(out.end(), jfif.begin() + 2, jfif.end());
    return out;
}

// The same JPEG without its JFIF header (as some cameras and tools write them).
Bytes WithoutJfif(const Bytes& jfif) {
    EXPECT_EQ(jfif[3], 0xE0) << "the writer puts the JFIF header first";
    Bytes out(jfif.begin(), jfif.begin() + 2);
    out.insert(out.end(), jfif.begin() + static_cast<std::ptrdiff_t>(SegmentEnd(jfif, 2)), jfif.end());
    return out;
}

bool HasMarker(const Bytes& jpeg, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return true;
    return false;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
    const auto size = static_cast<std::uint32_t>(data.size());
    for (int shift : {24, 16, 8, 0}) png.push_back(static_cast<std::uint8_t>(size >> shift));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const std::uint32_t crc = Crc32(png.data() + start, png.size() - start);
    for (int shift : {24, 16, 8, 0}) png.push_back(static_cast<std::uint8_t>(crc >> shift));
}

// A well-formed PNG header declaring width × height 8-bit RGB, with a few bytes of image data.
Bytes PngDeclaring(std::uint32_t width, std::uint32_t height) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    for (std::uint32_t v : {width, height})
        for (int shift : {24, 16, 8, 0}) header.push_back(static_cast<std::uint8_t>(v >> shift));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    PutChunk(png, "IEND", {});
    return png;
}

QImage WithAlphaCorners() {
    // Opaque tiles, but the top-left tile fully transparent and the top-right one half transparent.
    QImage image = bitmaptest::TiledPicture(16).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
            image.setPixel(48 + x, y, qRgba(255, 0, 0, 128));
        }
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

template <typename Picture>
Corners CornersOf(const Picture& p, std::uint32_t width, std::uint32_t height) {
    return {p(0, 0), p(width - 1, 0), p(0, height - 1), p(width - 1, height - 1)};
}

struct Row {
    const char* name;  // file name; its extension is what a person's file would have
    Bytes bytes;
    bool loads;
    bool ours;  // our own decoder takes it
    Corners corners;
    int tolerance;
};

class PictureTable : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string Write(const char* name, const Bytes& bytes) {
        const QString path = m_dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    // Every way the system loads a picture, for one row: own size, stretched (preview, edit view)
    // and as an eye texture.
    void Check(const Row& r) {
        SCOPED_TRACE(r.name);
        const std::string path = Write(r.name, r.bytes);
        EXPECT_EQ(static_cast<bool>(bitmap::DecodeJpeg(*m_dd, r.bytes)), r.ours);

        auto own = bitmap::LoadPicture(*m_dd, path, 0, 0);
        ASSERT_EQ(static_cast<bool>(own), r.loads);
        auto stretched = bitmap::LoadPicture(*m_dd, path, 96, 48);
        ASSERT_EQ(static_cast<bool>(stretched), r.loads);
        auto texture = m_library->LoadTexture(path);
        ASSERT_EQ(static_cast<bool>(texture), r.loads);
        if (!r.loads) return;

        ASSERT_EQ(own->Width(), 64u);
        ASSERT_EQ(own->Height(), 32u);
        const auto surfaceColour = [](const surface::Surface& s) {
            return [&s](std::uint32_t x, std::uint32_t y) { return QRgb(s.GetColor(x, y) & 0xFFFFFF); };
        };
        const auto texel = [&](std::uint32_t x, std::uint32_t y) { return QRgb(texture->Texel(x, y) & 0xFFFFFF); };
        const Corners seen[] = {CornersOf(surfaceColour(*own), 64, 32),
                                CornersOf(surfaceColour(*stretched), 96, 48),
                                CornersOf(texel, texture->Width(), texture->Height())};
        for (const Corners& corners : seen)
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(Near(corners[i], r.corners[i], r.tolerance))
                    << "corner " << i << ": " << std::hex << corners[i] << " expected " << r.corners[i];
        // A texture is opaque whatever the file held.
        EXPECT_EQ(texture->Texel(0, 0) >> 24, 0xFFu);

        if (r.ours) {
            // Our decoder's pixels, exactly as before the fallback existed.
            auto decoded = bitmap::DecodeJpeg(*m_dd, r.bytes);
            for (std::uint32_t y = 0; y < 32; ++y)
                for (std::uint32_t x = 0; x < 64; ++x)
                    ASSERT_EQ(own->GetColor(x, y), decoded->GetColor(x, y)) << x << "," << y;
        }
    }

    QTemporaryDir m_dir;
    surface::Ref<surface::DirectDraw> m_dd = surface::DirectDraw::Create();
    rm::Ref<rm::Library> m_library = rm::Library::Create();
};

TEST_F(PictureTable, EveryKindOfPictureLoadsOrFailsCleanly) {
    const QImage tiles = bitmaptest::TiledPicture(16);  // 64 × 32
    const Bytes jfif = Written(tiles, "jpeg", [](QImageWriter& w) { w.setQuality(95); });
    const Bytes progressive = Written(tiles, "jpeg", [](QImageWriter& w) {
        w.setQuality(95);
        w.setProgressiveScanWrite(true);
        w.setOptimizedWrite(true);
    });
    ASSERT_TRUE(HasMarker(progressive, 0xC2)) << "the writer made a progressive frame";
    ASSERT_FALSE(HasMarker(jfif, 0xC2));
    QImage wide(tiles.size(), QImage::Format_RGBX64);
    wide = tiles.convertToFormat(QImage::Format_RGBX64);
    const Bytes png16 = Written(wide, "png");
    ASSERT_EQ(png16[24], 16) << "16 bits a channel";
    const QImage grey = tiles.convertToFormat(QImage::Format_Grayscale8);
    const Bytes pngGrey = Written(grey, "png");
    ASSERT_EQ(pngGrey[25], 0) << "a grey PNG";
    Corners greyCorners;
    for (int i = 0; i < 4; ++i) {
        const QRgb shown = grey.pixel(i % 2 ? 63 : 0, i / 2 ? 31 : 0);
        greyCorners[i] = qRgb(qRed(shown), qGreen(shown), qBlue(shown));
        EXPECT_TRUE(qRed(shown) == qGreen(shown) && qGreen(shown) == qBlue(shown)) << i;
    }
    ASSERT_NE(greyCorners[0], greyCorners[1]) << "the corners stay told apart in grey";
    const Bytes pngAlpha = Written(WithAlphaCorners(), "png");
    ASSERT_EQ(pngAlpha[25], 6) << "a PNG with alpha";
    const Bytes cutProgressive(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() * 2 / 3));

    const Row rows[] = {
        {"jfif-baseline.jpg", jfif, true, true, kTileCorners, 10},
        {"camera-metadata-first.JPG", MetadataFirst(jfif), true, false, kTileCorners, 10},
        {"progressive.jpg", progressive, true, false, kTileCorners, 10},
        {"no-jfif-header.jpeg", WithoutJfif(jfif), true, false, kTileCorners, 10},
        {"alpha.png", pngAlpha, true, false, {0xFFFFFF, 0xFF7F7F, 0xFF00FF, 0xFFFFFF}, 1},
        {"sixteen-bits.png", png16, true, false, kTileCorners, 0},
        {"grey.png", pngGrey, true, false, greyCorners, 0},
        {"bitmap.bmp", Written(tiles, "bmp"), true, false, kTileCorners, 0},
        {"png-named.jpg", Written(tiles, "png"), true, false, kTileCorners, 0},
        {"cut-progressive.jpg", cutProgressive, false, false, {}, 0},
        {"huge.png", PngDeclaring(100000, 100000), false, false, {}, 0},
        {"huge-wide.png", PngDeclaring(1u << 30, 1), false, false, {}, 0},
        {"empty.png", {}, false, false, {}, 0},
        {"text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}, false, false, {}, 0},
    };
    int before = 0, after = 0;
    for (const Row& r : rows) {
        Check(r);
        // Before the fallback, a ".bmp" name went to the bitmap reader and every other to our decoder alone.
        before += r.ours || std::string(r.name).ends_with(".bmp");
        after += r.loads;
    }
    // On a display of another depth the picture takes the general way onto a surface of that depth.
    for (std::uint32_t bits : {16u, 24u}) {
        m_dd->SetDisplayFormat(surface::PixelFormat::FromBits(bits));
        auto s = bitmap::LoadPicture(*m_dd, Write("progressive-again.jpg", progressive), 0, 0);
        ASSERT_TRUE(s) << bits;
        EXPECT_EQ(s->Format().bitCount, bits);
        EXPECT_EQ(s->Width(), 64u);
        EXPECT_TRUE(Near(s->GetColor(0, 0) & 0xFFFFFF, kTileCorners[0], 16)) << bits << std::hex << s->GetColor(0, 0);
    }
    // The figures of this table: what our decoder alone took, and what loads now.
    RecordProperty("loaded_before", before);
    RecordProperty("loaded_after", after);
}

TEST_F(PictureTable, PicturesFromTheSystemsJpegEncoder) {
    const QString cjpeg = QStandardPaths::findExecutable(QStringLiteral("cjpeg"));
    if (cjpeg.isEmpty()) GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    const QString ppm = m_dir.filePath(QStringLiteral("tiles.ppm"));
    ASSERT_TRUE(bitmaptest::TiledPicture(16).convertToFormat(QImage::Format_RGB888).save(ppm, "PPM"));
    const struct {
        const char* name;
        QStringList options;
        bool ours;
    } cases[] = {
        {"cjpeg-baseline.jpg", {QStringLiteral("-quality"), QStringLiteral("95")}, true},
        {"cjpeg-progressive.jpg", {QStringLiteral("-quality"), QStringLiteral("95"), QStringLiteral("-progressive")}, false},
        {"cjpeg-arithmetic.jpg", {QStringLiteral("-quality"), QStringLiteral("95"), QStringLiteral("-arithmetic")}, false},
    };
    for (const auto& c : cases) {
        const QString out = m_dir.filePath(QString::fromUtf8(c.name) + QStringLiteral(".src"));
        QProcess process;
        process.start(cjpeg, c.options + QStringList{QStringLiteral("-outfile"), out, ppm});
        ASSERT_TRUE(process.waitForFinished(30000)) << c.name;
        ASSERT_EQ(process.exitCode(), 0) << c.name << process.readAllStandardError().toStdString();
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        Check({c.name, Bytes(bytes.begin(), bytes.end()), true, c.ours, kTileCorners, 10});
    }
}

TEST(JpegReachesEnd, WalksSegmentsAndScansToTheEndMarker) {
    const QImage tiles = bitmaptest::TiledPicture(8);
    const Bytes baseline = Written(tiles, "jpeg");
    const Bytes progressive = Written(tiles, "jpeg", [](QImageWriter& w) { w.setProgressiveScanWrite(true); });
    Bytes trailing = baseline;
    trailing.insert(trailing.end(), {0, 0, 0x12});
    ASSERT_GT(baseline.size(), 4u);
    const Bytes noEnd(baseline.begin(), baseline.end() - 2);
    Bytes badLength = baseline;
    badLength[4] = 0xFF;  // the first segment's length runs past the data
    const struct {
        const char* name;
        Bytes bytes;
        bool complete;
    } cases[] = {
        {"baseline", baseline, true},
        {"progressive", progressive, true},
        {"bytes after the end marker", trailing, true},
        {"metadata first", MetadataFirst(baseline), true},
        {"end marker cut off", noEnd, false},
        {"half a progressive file", Bytes(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() / 2)), false},
        {"a segment longer than the data", badLength, false},
        {"start only", {0xFF, 0xD8}, false},
        {"start and end", {0xFF, 0xD8, 0xFF, 0xD9}, true},
        {"not a JPEG", {0x89, 'P', 'N', 'G'}, false},
        {"a scan header and no data", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02}, false},
        {"a scan with stuffed bytes and a restart", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0x12, 0xFF, 0x00, 0xFF, 0xD3, 0x34, 0xFF, 0xFF, 0xD9}, true},
        {"a scan ending in a lone FF", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0x12, 0xFF}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(bitmap::JpegReachesEnd(c.bytes), c.complete) << c.name;
}

// Every kind of file stops at the same texture side, 8192 pixels, whichever decoder reads it; as a
// picture (a background) the same file still loads.
TEST_F(PictureTable, TexturesOfEveryKindStopAt8192PixelsASide) {
    const struct {
        const char* name;
        const char* format;
        std::function<void(QImageWriter&)> options;
    } kinds[] = {
        {"bmp", "bmp", {}},
        {"png", "png", {}},
        {"jpg", "jpeg", {}},
        {"progressive.jpg", "jpeg", [](QImageWriter& w) { w.setProgressiveScanWrite(true); }},
    };
    for (const auto& kind : kinds)
        for (const int width : {8192, 8193}) {
            SCOPED_TRACE(std::string(kind.name) + " " + std::to_string(width));
            QImage picture(width, 8, QImage::Format_RGB32);
            picture.fill(qRgb(0, 0, 255));
            const std::string path = Write((std::to_string(width) + "." + kind.name).c_str(),
                                           Written(picture, kind.format, kind.options));
            EXPECT_EQ(static_cast<bool>(m_library->LoadTexture(path)), width <= 8192);
            const auto own = bitmap::LoadPicture(*m_dd, path, 0, 0);
            ASSERT_TRUE(own);
            EXPECT_EQ(own->Width(), static_cast<std::uint32_t>(width));
        }
}

}  // namespace
