// Device contexts: pens and lines, fills, frames, pixels, text with a font fallback, StretchBlt
// with SRCCOPY and MERGEPAINT, in every pixel format.

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>

#include "platform/surface/DeviceContext.h"
#include "platform/surface/Surface.h"
#include "support/CaseNames.h"

using namespace surface;

namespace {

class DeviceContextTest : public ::testing::TestWithParam<std::uint32_t> {
  protected:
    void SetUp() override {
        s = Surface::Create(20, 10, PixelFormat::FromBits(GetParam()), 5);
        dc = s->GetDC();
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        if (dc) s->ReleaseDC(dc);
    }
    // The COLORREF a colour reads back as in this format.
    std::uint32_t AsStored(std::uint32_t colorRef) const {
        return ColorRefFromRgb(UnpackPixel(s->Format(), PackPixel(s->Format(), RgbFromColorRef(colorRef))));
    }
    Ref<Surface> s;
    DeviceContext* dc = nullptr;
};

TEST_P(DeviceContextTest, LineExcludesItsEndPointAndWidePensAreSquares) {
    dc->SelectPen({PS_SOLID, 0, 0x0080FF00});
    dc->MoveTo(2, 3);
    dc->LineTo(7, 3);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(dc->GetPixel(x, 3), (x >= 2 && x < 7) ? AsStored(0x0080FF00) : 0u) << x;
    const Pen old = dc->SelectPen({PS_SOLID, 2, 0x0000FFFF});
    EXPECT_EQ(old.color, 0x0080FF00u);
    dc->MoveTo(10, 6);
    dc->LineTo(10, 8);
    EXPECT_EQ(dc->GetPixel(10, 6), AsStored(0x0000FFFF));
    EXPECT_EQ(dc->GetPixel(11, 7), AsStored(0x0000FFFF));
    EXPECT_EQ(dc->GetPixel(9, 6), 0u);
    EXPECT_EQ(dc->GetPixel(10, 9), 0u);
    dc->MoveTo(-100, -100);
    dc->LineTo(100, 100);  // cut at the surface, no crash
}

TEST_P(DeviceContextTest, FillFrameAndPixels) {
    dc->FillRect({-5, -5, 30, 30}, 0x00FF0000);  // blue, cut to the surface
    EXPECT_EQ(dc->GetPixel(19, 9), AsStored(0x00FF0000));
    dc->FrameRect({2, 2, 6, 5}, 0x000000FF);
    EXPECT_EQ(dc->GetPixel(2, 2), AsStored(0x000000FF));
    EXPECT_EQ(dc->GetPixel(5, 4), AsStored(0x000000FF));
    EXPECT_EQ(dc->GetPixel(3, 3), AsStored(0x00FF0000));
    EXPECT_EQ(dc->SetPixel(0, 0, 0x00606060), AsStored(0x00606060));
    EXPECT_EQ(dc->GetPixel(0, 0), AsStored(0x00606060));
    EXPECT_EQ(dc->GetPixel(20, 0), CLR_INVALID);
    EXPECT_EQ(dc->SetPixel(-1, 0, 0), CLR_INVALID);
}

TEST_P(DeviceContextTest, StretchBltCopiesAndMergePaintsOrsTheInverse) {
    Ref<Surface> src = Surface::Create(2, 1, PixelFormat::FromBits(32));
    src->SetPixel(0, 0, 0xFFFFFF);  // white: NOT source is 0, destination unchanged
    src->SetPixel(1, 0, 0x0F0F0F);
    DeviceContext* sdc = src->GetDC();
    ASSERT_NE(sdc, nullptr);
    ASSERT_TRUE(dc->StretchBlt(0, 0, 4, 2, *sdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dc->GetPixel(1, 1), AsStored(0xFFFFFF));
    EXPECT_EQ(dc->GetPixel(3, 0), AsStored(0x0F0F0F));
    dc->FillRect({0, 0, 20, 10}, 0x00808080);
    ASSERT_TRUE(dc->StretchBlt(0, 0, 4, 2, *sdc, 0, 0, 2, 1, MERGEPAINT));
    EXPECT_EQ(dc->GetPixel(0, 0), AsStored(0x808080));
    // 0x80 | ~0x0F = 0xF0 in every channel (through the format's own rounding).
    const std::uint32_t grey = ColorRefFromRgb(UnpackPixel(s->Format(), PackPixel(s->Format(), 0x808080)));
    EXPECT_EQ(dc->GetPixel(2, 1), AsStored((grey | 0xF0F0F0) & 0xFFFFFF));
    EXPECT_FALSE(dc->StretchBlt(0, 0, 4, 2, *sdc, 0, 0, 2, 1, 0x00EE0086));  // SRCPAINT not offered
    EXPECT_FALSE(dc->StretchBlt(0, 0, -4, 2, *sdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_FALSE(dc->StretchBlt(0, 0, 2000000000, 2, *sdc, 0, 0, 2, 1, SRCCOPY));
    // Far outside the surface: nothing to visit, at once.
    EXPECT_TRUE(dc->StretchBlt(-30000, -30000, 30000, 30000, *sdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dc->GetPixel(0, 0), AsStored(0x808080));
    src->ReleaseDC(sdc);
}

TEST_P(DeviceContextTest, StretchBltFromAPicture) {
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(0xFF102030);
    img.setPixel(3, 1, 0xFFFFFFFF);
    ASSERT_TRUE(dc->StretchBlt(0, 0, 2, 1, img, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dc->GetPixel(0, 0), AsStored(0x302010));
    EXPECT_EQ(dc->GetPixel(1, 0), AsStored(0xFFFFFF));  // centre of the right half lands on (3, 1)
}

TEST_P(DeviceContextTest, TextDrawsInTheTextColourWithAFallbackFont) {
    const std::string family = DeviceContext::ResolveFontFamily("No Such Font Family");
    EXPECT_FALSE(family.empty());
    EXPECT_NE(family, "No Such Font Family");
    if (!QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) {
        EXPECT_TRUE(
            QFontDatabase::families(QFontDatabase::Japanese).contains(QString::fromStdString(family)));
    }
    dc->SelectFont({"No Such Font Family", 9, 700});
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(0x0000FF00);
    dc->TextOut(1, 0, "\xE3\x81\x82H");  // a kana and a Latin letter
    int green = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) green += dc->GetPixel(x, y) == AsStored(0x0000FF00);
    EXPECT_GT(green, 5);
}

INSTANTIATE_TEST_SUITE_P(Formats, DeviceContextTest, ::testing::Values(8u, 16u, 24u, 32u),
                         testsupport::PrintedName());

TEST(DeviceContextLifetimeTest, ThirtyTwoBitPixelsKeepTheirUnusedByteZero) {
    Ref<Surface> s = Surface::Create(8, 8, PixelFormat::FromBits(32));
    DeviceContext* dc = s->GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(s->GetDC(), nullptr);  // one context at a time
    SurfaceDesc d;
    EXPECT_EQ(s->Lock(nullptr, &d), DDERR_SURFACEBUSY);
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(0x00606060);
    dc->TextOut(0, 0, "W");
    dc->SetPixel(7, 7, 0x00606060);
    ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
    // What the edit view's colour matching reads: the first word of a pixel, 0x00RRGGBB.
    ASSERT_EQ(s->Lock(nullptr, &d), DD_OK);
    std::uint32_t word;
    std::memcpy(&word, static_cast<std::uint8_t*>(d.surface) + 7 * d.pitch + 28, 4);
    EXPECT_EQ(word, 0x00606060u);
    for (std::uint32_t y = 0; y < 8; ++y)
        for (std::uint32_t x = 0; x < 8; ++x) EXPECT_EQ(s->Row(y)[4 * x + 3], 0) << x << "," << y;
    s->Unlock();
    EXPECT_EQ(s->ReleaseDC(dc), DDERR_INVALIDPARAMS);
}

}  // namespace

// The system's font configuration library keeps its caches until the process ends; that memory
// is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
