// Surfaces: formats and pixel packing, pitch, Lock, Blt (stretch, colour fill), BltFast.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/surface/DirectDraw.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceImage.h"

using namespace surface;

namespace {

struct PackCase {
    std::uint32_t bits;
    std::uint32_t rgb;
    std::uint32_t pixel;
    std::vector<std::uint8_t> bytes;
};

TEST(PixelFormatTest, EveryFormatPacksAsDocumented) {
    const PackCase cases[] = {
        {32, 0x123456, 0x00123456, {0x56, 0x34, 0x12, 0x00}},
        {24, 0x123456, 0x123456, {0x56, 0x34, 0x12}},
        {16, 0xFF8040, 0xFC08, {0x08, 0xFC}},  // 31 << 11 | 32 << 5 | 8
        {16, 0x606060, 0x630C, {0x0C, 0x63}},
        {8, 0xFF0000, 190, {190}},  // 10 + 36 * 5
        {8, 0x000000, 10, {10}},
        {8, 0x3399CC, 10 + 36 * 1 + 6 * 3 + 4, {68}},
    };
    for (const auto& c : cases) {
        Ref<Surface> s = Surface::Create(3, 2, PixelFormat::FromBits(c.bits));
        ASSERT_TRUE(s);
        const std::uint32_t packed = PackPixel(s->Format(), c.rgb, &s->GetPalette());
        EXPECT_EQ(packed, c.pixel) << c.bits;
        s->SetPixel(1, 1, packed);
        const std::uint8_t* p = s->Row(1) + s->Format().BytesPerPixel();
        EXPECT_EQ(std::vector<std::uint8_t>(p, p + c.bytes.size()), c.bytes) << c.bits;
        EXPECT_EQ(s->GetPixel(1, 1), c.pixel);
    }
}

TEST(PixelFormatTest, SixteenBitMasksAndWidening) {
    const PixelFormat f = PixelFormat::FromBits(16);
    EXPECT_EQ(f.redMask, 0xF800u);
    EXPECT_EQ(f.greenMask, 0x07E0u);
    EXPECT_EQ(f.blueMask, 0x001Fu);
    EXPECT_EQ(UnpackPixel(f, 0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(UnpackPixel(f, 0xF800), 0xFF0000u);
    EXPECT_EQ(UnpackPixel(f, 0x07E0), 0x00FF00u);
}

TEST(SurfaceTest, LockReportsTheTopLeftPixelAndAPitchBeyondTheRow) {
    Ref<Surface> s = Surface::Create(5, 4, PixelFormat::FromBits(24), 12);
    ASSERT_TRUE(s);
    SurfaceDesc d;
    ASSERT_EQ(s->Lock(nullptr, &d), DD_OK);
    EXPECT_EQ(d.pitch, 16 + 12);  // 15 bytes rounded to 16, plus the extra
    EXPECT_EQ(d.width, 5u);
    EXPECT_EQ(d.height, 4u);
    EXPECT_EQ(d.format.bitCount, 24u);
    auto* base = static_cast<std::uint8_t*>(d.surface);
    // Row 2, pixel 3: B, G, R at base + 2 * pitch + 9.
    base[2 * d.pitch + 9] = 0x11;
    base[2 * d.pitch + 10] = 0x22;
    base[2 * d.pitch + 11] = 0x33;
    EXPECT_EQ(s->Lock(nullptr, &d), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->GetDC(), nullptr);
    ASSERT_EQ(s->Unlock(), DD_OK);
    EXPECT_EQ(s->GetColor(3, 2), 0x332211u);
    const Rect r{1, 1, 3, 3};
    ASSERT_EQ(s->Lock(&r, &d), DD_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(d.surface), s->Row(1) + 3);
    s->Unlock();
    EXPECT_EQ(s->Unlock(), DDERR_NOTLOCKED);
    const Rect outside{3, 3, 6, 4};
    EXPECT_EQ(s->Lock(&outside, &d), DDERR_INVALIDRECT);
}

TEST(SurfaceTest, SizesAreChecked) {
    EXPECT_FALSE(Surface::Create(0, 5, PixelFormat::FromBits(32)));
    EXPECT_FALSE(Surface::Create(5, 0, PixelFormat::FromBits(32)));
    EXPECT_FALSE(Surface::Create(16385, 1, PixelFormat::FromBits(32)));
}

Ref<Surface> Numbered(std::uint32_t w, std::uint32_t h, std::uint32_t bits = 32, std::uint32_t extra = 0) {
    Ref<Surface> s = Surface::Create(w, h, PixelFormat::FromBits(bits), extra);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) s->SetPixel(x, y, (y * 16 + x) * 0x010101);
    return s;
}

TEST(BltTest, StretchingDoublesAndHalvesByNearestNeighbour) {
    Ref<Surface> src = Numbered(2, 2, 32, 8);
    Ref<Surface> big = Surface::Create(4, 4, PixelFormat::FromBits(32), 4);
    ASSERT_EQ(big->Blt(nullptr, src.Get(), nullptr, DDBLT_WAIT), DD_OK);
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 4; ++x) EXPECT_EQ(big->GetPixel(x, y), src->GetPixel(x / 2, y / 2));
    Ref<Surface> four = Numbered(4, 4);
    Ref<Surface> small = Surface::Create(2, 2, PixelFormat::FromBits(32));
    ASSERT_EQ(small->Blt(nullptr, four.Get(), nullptr, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(small->GetPixel(0, 0), four->GetPixel(1, 1));
    EXPECT_EQ(small->GetPixel(1, 1), four->GetPixel(3, 3));
}

TEST(BltTest, RectanglesAndFormatConversion) {
    Ref<Surface> src = Numbered(4, 4);
    Ref<Surface> dst = Surface::Create(8, 8, PixelFormat::FromBits(16));
    const Rect s{1, 1, 3, 3}, d{4, 2, 6, 4};
    ASSERT_EQ(dst->Blt(&d, src.Get(), &s, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(dst->GetPixel(4, 2), PackPixel(dst->Format(), src->GetColor(1, 1)));
    EXPECT_EQ(dst->GetPixel(5, 3), PackPixel(dst->Format(), src->GetColor(2, 2)));
    EXPECT_EQ(dst->GetPixel(3, 2), 0u);
    const Rect bad{6, 6, 9, 7}, inverted{3, 3, 2, 4};
    EXPECT_EQ(dst->Blt(&bad, src.Get(), nullptr, DDBLT_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(&inverted, src.Get(), nullptr, DDBLT_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT), DDERR_INVALIDPARAMS);
}

TEST(BltTest, ColourFillUsesThePixelValueOfTheFormat) {
    Ref<Surface> s = Surface::Create(6, 5, PixelFormat::FromBits(16), 6);
    const Rect r{1, 1, 4, 3};
    ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, 0x630C), DD_OK);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 6; ++x)
            EXPECT_EQ(s->GetPixel(x, y), (x >= 1 && x < 4 && y >= 1 && y < 3) ? 0x630Cu : 0u);
}

TEST(BltTest, BltFastCopiesWithoutStretchingAndCutsAtTheEdges) {
    Ref<Surface> src = Numbered(4, 4);
    Ref<Surface> dst = Surface::Create(5, 5, PixelFormat::FromBits(32));
    ASSERT_EQ(dst->BltFast(3, -1, src.Get(), nullptr), DD_OK);
    EXPECT_EQ(dst->GetPixel(3, 0), src->GetPixel(0, 1));
    EXPECT_EQ(dst->GetPixel(4, 2), src->GetPixel(1, 3));
    EXPECT_EQ(dst->GetPixel(2, 0), 0u);
    EXPECT_EQ(dst->BltFast(10, 10, src.Get(), nullptr), DD_OK);  // nothing to copy
}

TEST(BltTest, CopyWithinOneSurfaceReadsTheOriginal) {
    Ref<Surface> s = Numbered(4, 1);
    const Rect src{0, 0, 3, 1}, dst{1, 0, 4, 1};
    ASSERT_EQ(s->Blt(&dst, s.Get(), &src, DDBLT_WAIT), DD_OK);
    EXPECT_EQ(s->GetPixel(1, 0), 0u);
    EXPECT_EQ(s->GetPixel(3, 0), 0x020202u);
}

TEST(DirectDrawTest, DisplayFormatIsSettableAndUsedForPlainSurfaces) {
    Ref<DirectDraw> dd = DirectDraw::Create();
    SurfaceDesc mode;
    ASSERT_EQ(dd->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.format.bitCount, 32u);
    for (std::uint32_t bits : {8u, 16u, 24u, 32u}) {
        dd->SetDisplayFormat(PixelFormat::FromBits(bits));
        Ref<Surface> s = dd->CreatePlainSurface(7, 3);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->Format().bitCount, bits);
    }
    SurfaceDesc d;
    d.flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_CAPS;
    d.width = 4;
    d.height = 4;
    d.format = PixelFormat::FromBits(32);
    Ref<Surface> s;
    ASSERT_EQ(dd->CreateSurface(d, &s), DD_OK);
    EXPECT_EQ(s->Format().bitCount, 32u);
    d.format.bitCount = 12;
    EXPECT_NE(dd->CreateSurface(d, &s), DD_OK);
    d.flags = DDSD_WIDTH;
    EXPECT_NE(dd->CreateSurface(d, &s), DD_OK);
}

TEST(SurfaceImageTest, EveryFormatConvertsToTheSameColours) {
    for (std::uint32_t bits : {8u, 16u, 24u, 32u}) {
        Ref<Surface> s = Surface::Create(3, 2, PixelFormat::FromBits(bits), 3);
        s->SetPixel(2, 1, PackPixel(s->Format(), 0xFFFFFF, &s->GetPalette()));
        s->SetPixel(0, 0, PackPixel(s->Format(), 0xFF0000, &s->GetPalette()));
        const QImage img = ToImage(*s);
        ASSERT_EQ(img.size(), QSize(3, 2));
        EXPECT_EQ(img.pixel(2, 1), 0xFFFFFFFFu) << bits;
        EXPECT_EQ(img.pixel(0, 0), 0xFFFF0000u) << bits;
        EXPECT_EQ(img.pixel(1, 0), 0xFF000000u) << bits;
    }
}

}  // namespace
