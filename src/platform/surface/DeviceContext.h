#pragma once
// A device context for 2D drawing on a surface (Surface::GetDC / ReleaseDC): pens, lines, filled
// and framed rectangles, text in a named font, single pixels and StretchBlt with SRCCOPY and
// MERGEPAINT. Colours are COLORREF 0x00BBGGRR. Text is drawn with QPainter on the surface's own
// memory (8-bit surfaces through a 32-bit copy mapped back to the palette); lines, fills, pixels
// and StretchBlt work on the pixel values directly, so they are exact and the same on every
// machine. Text needs a QGuiApplication; without one TextOut draws nothing.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/surface/Surface.h"

class QImage;

namespace surface {

enum : std::int32_t { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_NULL = 5 };
enum : std::uint32_t {
    SRCCOPY = 0x00CC0020,    // destination = source
    MERGEPAINT = 0x00BB0226  // destination = destination OR NOT source
};
enum : std::int32_t { TRANSPARENT = 1, OPAQUE = 2 };
constexpr std::uint32_t CLR_INVALID = 0xFFFFFFFF;

struct Pen {
    std::int32_t style = PS_SOLID;
    std::int32_t width = 0;   // 0 and 1 both draw one pixel wide
    std::uint32_t color = 0;  // COLORREF
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Font {
    std::string face;          // UTF-8 family name; missing families fall back to a Japanese font
    std::int32_t height = 12;  // character height in pixels
    std::int32_t weight = 400;
};

class DeviceContext {
  public:
    explicit DeviceContext(Surface& target);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    Surface& Target() { return m_target; }

    // Selects a pen; returns the one selected before (the initial pen is solid black, width 1).
    Pen SelectPen(const Pen& pen);
    Pen CurrentPen() const { return m_pen; }
    void MoveTo(std::int32_t x, std::int32_t y);
    // Draws from the current position to (x, y), excluding the end point, and moves there.
    void LineTo(std::int32_t x, std::int32_t y);

    // Fills [left, right) x [top, bottom) with a colour.
    void FillRect(const Rect& r, std::uint32_t colorRef);
    // One-pixel frame on the inside border of the rectangle.
    void FrameRect(const Rect& r, std::uint32_t colorRef);

    Font SelectFont(const Font& font);
    std::uint32_t SetTextColor(std::uint32_t colorRef);
    std::uint32_t SetBkColor(std::uint32_t colorRef);
    std::int32_t SetBkMode(std::int32_t mode);
    // Draws UTF-8 text with its top-left corner at (x, y).
    void TextOut(std::int32_t x, std::int32_t y, std::string_view utf8);
    // The family actually used for `face` (the face when installed, else the Japanese fallback).
    static std::string ResolveFontFamily(std::string_view face);

    // Colour of a pixel as COLORREF; CLR_INVALID outside the surface.
    std::uint32_t GetPixel(std::int32_t x, std::int32_t y) const;
    // Sets a pixel to the format's value for the colour; returns the colour set or CLR_INVALID.
    std::uint32_t SetPixel(std::int32_t x, std::int32_t y, std::uint32_t colorRef);

    // Stretches the source rectangle onto the destination rectangle (nearest neighbour) with
    // SRCCOPY or MERGEPAINT. Negative sizes are refused. Returns false for an unknown operation.
    bool StretchBlt(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                    const DeviceContext& src, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                    std::int32_t sh, std::uint32_t rop);
    // The same with a picture as source (a bitmap loaded by the caller).
    bool StretchBlt(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh, const QImage& src,
                    std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, std::uint32_t rop);

    // Finishes pending drawing (ReleaseDC calls it): 32-bit pixels get their unused byte back to 0.
    void Flush();

  private:
    void Plot(std::int32_t x, std::int32_t y, std::uint32_t pixel);
    void PlotPen(std::int32_t x, std::int32_t y, std::uint32_t pixel);
    using SourcePixel = std::uint32_t (*)(const void* ctx, std::int32_t x, std::int32_t y);
    bool Stretch(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh, std::int32_t sx,
                 std::int32_t sy, std::int32_t sw, std::int32_t sh, std::int32_t srcW, std::int32_t srcH,
                 std::uint32_t rop, SourcePixel read, const void* ctx);

    Surface& m_target;
    Pen m_pen;
    Font m_font;
    std::uint32_t m_textColor = 0;
    std::uint32_t m_bkColor = 0xFFFFFF;
    std::int32_t m_bkMode = OPAQUE;
    std::int32_t m_curX = 0;
    std::int32_t m_curY = 0;
    bool m_painted = false;  // QPainter touched the memory since the last Flush
};

}  // namespace surface
