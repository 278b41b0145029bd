#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "PictureFiles.h"
#include "platform/surface/DeviceContext.h"
#include "render/bitmap/PictureLoading.h"

namespace {

using bitmaptest::Native;
using bitmaptest::TiledPicture;
using surface::PixelFormat;

class PictureLoading : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string WriteBmp(const QString& name, const QImage& image) {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return Native(path);
    }
    std::string WriteJpeg(const QString& name, const QImage& image) {
        return WriteBytes(name, bitmaptest::JpegBytes(image));
    }
    std::string WriteBytes(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return Native(path);
    }

    QTemporaryDir m_dir;
    surface::Ref<surface::DirectDraw> m_dd = surface::DirectDraw::Create();
};

// The colours at the centres of the 4 × 2 tiles of a surface.
std::vector<std::uint32_t> TileColours(const surface::Surface& s) {
    std::vector<std::uint32_t> colours;
    for (std::uint32_t ty = 0; ty < 2; ++ty)
        for (std::uint32_t tx = 0; tx < 4; ++tx)
            colours.push_back(s.GetColor((2 * tx + 1) * s.Width() / 8, (2 * ty + 1) * s.Height() / 4));
    return colours;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

TEST_F(PictureLoading, BmpOfEveryDepthAtItsOwnSize) {
    const QImage tiles = TiledPicture(3);
    struct Row {
        const char* name;
        QImage image;
    } rows[] = {
        {"1 bit", tiles.convertToFormat(QImage::Format_Mono)},
        {"8 bits indexed", tiles.convertToFormat(QImage::Format_Indexed8)},
        {"24 bits", tiles.convertToFormat(QImage::Format_RGB888)},
        {"32 bits", tiles},
    };
    for (const auto& r : rows) {
        const auto path = WriteBmp(QString("p%1.bmp").arg(r.name), r.image);
        auto s = bitmap::LoadPicture(*m_dd, path, 0, 0);
        ASSERT_TRUE(s) << r.name;
        ASSERT_EQ(s->Width(), 12u) << r.name;
        ASSERT_EQ(s->Height(), 6u) << r.name;
        const QImage saved(QString::fromStdString(path));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(s->GetColor(x, y), saved.pixel(x, y) & 0xFFFFFF)
                    << r.name << " at " << x << "," << y;
    }
}

TEST_F(PictureLoading, RequestedSizes) {
    const auto bmp = WriteBmp("tiles.bmp", TiledPicture(10));
    const auto jpg = WriteJpeg("tiles.jpg", TiledPicture(16));
    struct Row {
        const std::string* path;
        std::uint32_t width, height;
        std::uint32_t expectedWidth, expectedHeight;
    } rows[] = {
        {&bmp, 0, 0, 40, 20},   {&bmp, 100, 50, 100, 50}, {&bmp, 100, 0, 100, 20},
        {&bmp, 0, 7, 40, 7},    {&jpg, 0, 0, 64, 32},     {&jpg, 320, 0, 64, 32},
        {&jpg, 0, 240, 64, 32}, {&jpg, 100, 50, 100, 50}, {&jpg, 3, 1, 3, 1},
    };
    for (const auto& r : rows) {
        auto s = bitmap::LoadPicture(*m_dd, *r.path, r.width, r.height);
        ASSERT_TRUE(s) << *r.path << " " << r.width << "x" << r.height;
        EXPECT_EQ(s->Width(), r.expectedWidth) << *r.path << " " << r.width << "x" << r.height;
        EXPECT_EQ(s->Height(), r.expectedHeight) << *r.path << " " << r.width << "x" << r.height;
        EXPECT_EQ(s->Format(), m_dd->DisplayFormat());
    }
}

TEST_F(PictureLoading, StretchingKeepsThePicture) {
    const QImage tiles = TiledPicture(16);
    const auto bmp = WriteBmp("tiles.bmp", tiles);
    const auto jpg = WriteJpeg("tiles.jpg", tiles);
    std::vector<std::uint32_t> expected;
    for (int i = 0; i < 8; ++i)
        expected.push_back(tiles.pixel((i % 4) * 16 + 8, (i / 4) * 16 + 8) & 0xFFFFFF);

    auto stretchedBmp = bitmap::LoadPicture(*m_dd, bmp, 100, 50);
    ASSERT_TRUE(stretchedBmp);
    EXPECT_EQ(TileColours(*stretchedBmp), expected);

    // The JPEG is lossy: its own-size decode gives the tile colours, the stretched one the same.
    auto ownJpeg = bitmap::LoadPicture(*m_dd, jpg, 0, 0);
    auto stretchedJpeg = bitmap::LoadPicture(*m_dd, jpg, 100, 50);
    ASSERT_TRUE(ownJpeg);
    ASSERT_TRUE(stretchedJpeg);
    EXPECT_EQ(TileColours(*stretchedJpeg), TileColours(*ownJpeg));
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(Near(TileColours(*ownJpeg)[i], expected[i], 6)) << i;
}

TEST_F(PictureLoading, TheBitmapExtensionIsFoundWhateverItsCase) {
    const QImage tiles = TiledPicture(4);
    QImage bmpImage = tiles;
    const auto bmpBytes = [&] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        bmpImage.save(&buffer, "BMP");
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }();
    const auto jpegBytes = bitmaptest::JpegBytes(tiles);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.bmp"));
    struct Row {
        const char* name;
        const std::vector<std::uint8_t>* bytes;
        bool loads;
    } rows[] = {
        {"a.bmp", &bmpBytes, true},  {"b.BMP", &bmpBytes, true},      {"c.Bmp", &bmpBytes, true},
        {"d.jpg", &bmpBytes, true},  {"e.jpeg", &bmpBytes, true},     {"f.bmpx", &bmpBytes, true},
        {"g.jpeg", &jpegBytes, true}, {"h.JPG", &jpegBytes, true},    {"i", &jpegBytes, true},
        {"j.bmp", &jpegBytes, true}, {"k.bmp.jpg", &jpegBytes, true}, {"folder.bmp/l", &jpegBytes, true},
    };
    // The extension picks the first reader; a picture under the other format's name still loads,
    // through the reader that decides by the content, with its own pixels.
    const QImage fromBmp(QString::fromStdString(WriteBytes("reference.bmp", bmpBytes)));
    for (const auto& r : rows) {
        const auto path = WriteBytes(r.name, *r.bytes);
        auto s = bitmap::LoadPicture(*m_dd, path, 0, 0);
        ASSERT_EQ(static_cast<bool>(s), r.loads) << r.name;
        ASSERT_EQ(s->Width(), 16u) << r.name;
        if (r.bytes != &bmpBytes) continue;
        for (std::uint32_t y = 0; y < 8; ++y) {
            for (std::uint32_t x = 0; x < 16; ++x) {
                ASSERT_EQ(s->GetColor(x, y), fromBmp.pixel(int(x), int(y)) & 0xFFFFFF) << r.name;
            }
        }
    }
}

TEST_F(PictureLoading, UnreadableFilesGiveNoSurface) {
    const auto jpegBytes = bitmaptest::JpegBytes(TiledPicture(8));
    struct Row {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } rows[] = {
        {"empty.jpg", {}},
        {"empty.bmp", {}},
        {"text.jpg", {'h', 'e', 'l', 'l', 'o'}},
        {"text.bmp", {'B', 'M', 'x'}},
        {"cut.jpg", std::vector<std::uint8_t>(jpegBytes.begin(), jpegBytes.begin() + jpegBytes.size() / 2)},
    };
    for (const auto& r : rows) {
        const auto path = WriteBytes(r.name, r.bytes);
        EXPECT_FALSE(bitmap::LoadPicture(*m_dd, path, 0, 0)) << r.name;
        EXPECT_FALSE(bitmap::LoadPicture(*m_dd, path, 30, 20)) << r.name;
    }
    EXPECT_FALSE(bitmap::LoadPicture(*m_dd, Native(m_dir.filePath("missing.jpg")), 0, 0));
    EXPECT_FALSE(bitmap::LoadPicture(*m_dd, Native(m_dir.filePath("missing.bmp")), 0, 0));
    EXPECT_FALSE(bitmap::LoadBitmapSurface(*m_dd, Native(m_dir.filePath("missing.bmp")), 0, 0));
}

TEST_F(PictureLoading, CopyBitmapToSurface) {
    const QImage tiles = TiledPicture(2);  // 8 × 4
    auto target = bitmap::CreatePlainSurface(*m_dd, 4, 4);
    ASSERT_TRUE(target);

    // The right half of the bitmap onto the whole 4 × 4 surface.
    EXPECT_EQ(bitmap::CopyBitmapToSurface(target.Get(), &tiles, 4, 0, 4, 4), surface::DD_OK);
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 4; ++x)
            EXPECT_EQ(target->GetColor(x, y), tiles.pixel(4 + x, y) & 0xFFFFFF);

    // Width and height 0: the whole bitmap, squeezed to 4 × 4 (every other column).
    EXPECT_EQ(bitmap::CopyBitmapToSurface(target.Get(), &tiles, 0, 0, 0, 0), surface::DD_OK);
    for (std::uint32_t x = 0; x < 4; ++x)
        EXPECT_EQ(target->GetColor(x, 0), tiles.pixel(2 * x + 1, 0) & 0xFFFFFF);

    EXPECT_EQ(bitmap::CopyBitmapToSurface(nullptr, &tiles, 0, 0, 0, 0), surface::DDERR_GENERIC);
    EXPECT_EQ(bitmap::CopyBitmapToSurface(target.Get(), nullptr, 0, 0, 0, 0), surface::DDERR_GENERIC);
    surface::SurfaceDesc desc;
    ASSERT_EQ(target->Lock(nullptr, &desc), surface::DD_OK);
    EXPECT_EQ(bitmap::CopyBitmapToSurface(target.Get(), &tiles, 0, 0, 0, 0), surface::DDERR_GENERIC);
    target->Unlock();
}

TEST_F(PictureLoading, PlainSurfacesTakeTheDisplayFormat) {
    for (std::uint32_t bits : {8u, 16u, 24u, 32u}) {
        m_dd->SetDisplayFormat(PixelFormat::FromBits(bits));
        auto s = bitmap::CreatePlainSurface(*m_dd, 64, 48);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->Width(), 64u);
        EXPECT_EQ(s->Height(), 48u);
        EXPECT_EQ(s->Format().bitCount, bits);
    }
    EXPECT_FALSE(bitmap::CreatePlainSurface(*m_dd, 0, 10));
}

}  // namespace
