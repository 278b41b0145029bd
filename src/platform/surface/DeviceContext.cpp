#include "platform/surface/DeviceContext.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace surface {

namespace {

QImage::Format QtFormat(std::uint32_t bits) {
    switch (bits) {
        case 16:
            return QImage::Format_RGB16;
        case 24:
            return QImage::Format_BGR888;
        case 32:
            return QImage::Format_RGB32;
        default:
            return QImage::Format_Invalid;
    }
}

}  // namespace

DeviceContext::DeviceContext(Surface& target) : m_target(target) {
    m_pen.width = 1;
}

DeviceContext::~DeviceContext() {
    Flush();
}

void DeviceContext::Flush() {
    if (!m_painted) return;
    m_painted = false;
    if (m_target.Format().bitCount != 32) return;
    // QPainter writes 0xFF into the unused byte of 32-bit pixels; our surfaces keep it 0.
    for (std::uint32_t y = 0; y < m_target.Height(); ++y) {
        std::uint8_t* row = m_target.Row(y);
        for (std::uint32_t x = 0; x < m_target.Width(); ++x) row[4 * x + 3] = 0;
    }
}

Pen DeviceContext::SelectPen(const Pen& pen) {
    return std::exchange(m_pen, pen);
}

void DeviceContext::MoveTo(std::int32_t x, std::int32_t y) {
    m_curX = x;
    m_curY = y;
}

void DeviceContext::Plot(std::int32_t x, std::int32_t y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || std::uint32_t(x) >= m_target.Width() || std::uint32_t(y) >= m_target.Height())
        return;
    m_target.SetPixel(std::uint32_t(x), std::uint32_t(y), pixel);
}

void DeviceContext::PlotPen(std::int32_t x, std::int32_t y, std::uint32_t pixel) {
    // Pens wider than 255 pixels draw 255 wide: no drawing of ours needs more, and the square
    // per point stays bounded.
    const std::int32_t w = std::clamp(m_pen.width, 1, 255);
    // A wide pen is a w x w square centred on the line (the extra pixel to the right / below).
    const std::int32_t x0 = x - (w - 1) / 2, y0 = y - (w - 1) / 2;
    for (std::int32_t dy = 0; dy < w; ++dy)
        for (std::int32_t dx = 0; dx < w; ++dx) Plot(x0 + dx, y0 + dy, pixel);
}

void DeviceContext::LineTo(std::int32_t x, std::int32_t y) {
    if (m_pen.style != PS_NULL) {
        const std::uint32_t pixel =
            PackPixel(m_target.Format(), RgbFromColorRef(m_pen.color), &m_target.GetPalette());
        // Bresenham from the current position up to, not including, (x, y).
        std::int64_t x0 = m_curX, y0 = m_curY;
        const std::int64_t dx = std::llabs(std::int64_t(x) - x0), dy = -std::llabs(std::int64_t(y) - y0);
        const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
        std::int64_t err = dx + dy;
        // The loop runs at most max(|dx|, |dy|) times; lines far outside the surface are cut by
        // Plot, and absurd lengths are not walked.
        const std::int64_t steps = std::max(dx, -dy);
        if (steps <= 65536) {
            for (std::int64_t i = 0; i < steps; ++i) {
                PlotPen(std::int32_t(x0), std::int32_t(y0), pixel);
                const std::int64_t e2 = 2 * err;
                if (e2 >= dy) {
                    err += dy;
                    x0 += sx;
                }
                if (e2 <= dx) {
                    err += dx;
                    y0 += sy;
                }
            }
        }
    }
    m_curX = x;
    m_curY = y;
}

void DeviceContext::FillRect(const Rect& r, std::uint32_t colorRef) {
    const std::uint32_t pixel =
        PackPixel(m_target.Format(), RgbFromColorRef(colorRef), &m_target.GetPalette());
    const std::int32_t x0 = std::max(0, r.left), y0 = std::max(0, r.top);
    const std::int32_t x1 = std::min<std::int64_t>(r.right, m_target.Width());
    const std::int32_t y1 = std::min<std::int64_t>(r.bottom, m_target.Height());
    for (std::int32_t y = y0; y < y1; ++y)
        for (std::int32_t x = x0; x < x1; ++x) m_target.SetPixel(std::uint32_t(x), std::uint32_t(y), pixel);
}

void DeviceContext::FrameRect(const Rect& r, std::uint32_t colorRef) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    FillRect({r.left, r.top, r.right, r.top + 1}, colorRef);
    FillRect({r.left, r.bottom - 1, r.right, r.bottom}, colorRef);
    FillRect({r.left, r.top, r.left + 1, r.bottom}, colorRef);
    FillRect({r.right - 1, r.top, r.right, r.bottom}, colorRef);
}

Font DeviceContext::SelectFont(const Font& font) {
    return std::exchange(m_font, font);
}
std::uint32_t DeviceContext::SetTextColor(std::uint32_t c) {
    return std::exchange(m_textColor, c);
}
std::uint32_t DeviceContext::SetBkColor(std::uint32_t c) {
    return std::exchange(m_bkColor, c);
}
std::int32_t DeviceContext::SetBkMode(std::int32_t mode) {
    return std::exchange(m_bkMode, mode);
}

std::string DeviceContext::ResolveFontFamily(std::string_view face) {
    if (!QGuiApplication::instance()) return std::string(face);
    const QString wanted = QString::fromUtf8(face.data(), qsizetype(face.size()));
    const QStringList all = QFontDatabase::families();
    if (!wanted.isEmpty() && all.contains(wanted, Qt::CaseInsensitive)) return wanted.toStdString();
    // The system's faces were Gothic (sans-serif) Japanese fonts: prefer one of those.
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& f : japanese)
        if (f.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive)) return f.toStdString();
    if (!japanese.isEmpty()) return japanese.front().toStdString();
    return all.isEmpty() ? std::string(face) : all.front().toStdString();
}

void DeviceContext::TextOut(std::int32_t x, std::int32_t y, std::string_view utf8) {
    if (!QGuiApplication::instance() || utf8.empty()) return;
    const std::uint32_t bits = m_target.Format().bitCount;
    QImage eight;
    QImage image;
    if (bits == 8) {
        eight = QImage(int(m_target.Width()), int(m_target.Height()), QImage::Format_RGB32);
        for (std::uint32_t yy = 0; yy < m_target.Height(); ++yy)
            for (std::uint32_t xx = 0; xx < m_target.Width(); ++xx)
                eight.setPixel(int(xx), int(yy), 0xFF000000u | m_target.GetColor(xx, yy));
        image = eight;
    } else {
        image = QImage(m_target.Bits(), int(m_target.Width()), int(m_target.Height()), m_target.Pitch(),
                       QtFormat(bits));
    }
    {
        QPainter p(&image);
        QFont font(QString::fromStdString(ResolveFontFamily(m_font.face)));
        font.setPixelSize(std::max(1, std::abs(m_font.height)));
        font.setWeight(static_cast<QFont::Weight>(std::clamp(m_font.weight / 10 * 10, 100, 900)));
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        const QRect box = p.fontMetrics().boundingRect(text).translated(x, y + p.fontMetrics().ascent());
        if (m_bkMode == OPAQUE)
            p.fillRect(QRect(x, y, box.width(), p.fontMetrics().height()),
                       QColor::fromRgb(RgbFromColorRef(m_bkColor)));
        p.setPen(QColor::fromRgb(RgbFromColorRef(m_textColor)));
        p.drawText(x, y + p.fontMetrics().ascent(), text);
    }
    if (bits == 8) {
        for (std::uint32_t yy = 0; yy < m_target.Height(); ++yy)
            for (std::uint32_t xx = 0; xx < m_target.Width(); ++xx) {
                const std::uint32_t c = image.pixel(int(xx), int(yy)) & 0xFFFFFF;
                if (c != m_target.GetColor(xx, yy))
                    m_target.SetPixel(xx, yy, PackPixel(m_target.Format(), c, &m_target.GetPalette()));
            }
    } else {
        m_painted = true;
    }
}

std::uint32_t DeviceContext::GetPixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || std::uint32_t(x) >= m_target.Width() || std::uint32_t(y) >= m_target.Height())
        return CLR_INVALID;
    return ColorRefFromRgb(m_target.GetColor(std::uint32_t(x), std::uint32_t(y)));
}

std::uint32_t DeviceContext::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t colorRef) {
    if (x < 0 || y < 0 || std::uint32_t(x) >= m_target.Width() || std::uint32_t(y) >= m_target.Height())
        return CLR_INVALID;
    m_target.SetPixel(std::uint32_t(x), std::uint32_t(y),
                      PackPixel(m_target.Format(), RgbFromColorRef(colorRef), &m_target.GetPalette()));
    return ColorRefFromRgb(m_target.GetColor(std::uint32_t(x), std::uint32_t(y)));
}

bool DeviceContext::Stretch(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                            std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                            std::int32_t srcW, std::int32_t srcH, std::uint32_t rop, SourcePixel read,
                            const void* ctx) {
    if (rop != SRCCOPY && rop != MERGEPAINT) return false;
    // Sizes are refused beyond 32768, which keeps the products below in 64 bits.
    constexpr std::int32_t kMax = 32768;
    if (dw < 0 || dh < 0 || sw < 0 || sh < 0 || dw > kMax || dh > kMax || sw > kMax || sh > kMax)
        return false;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return true;
    const PixelFormat& f = m_target.Format();
    // Only the destination pixels inside the surface are visited.
    const std::int64_t y0 = std::max<std::int64_t>(0, -std::int64_t(dy));
    const std::int64_t y1 = std::min<std::int64_t>(dh, std::int64_t(m_target.Height()) - dy);
    const std::int64_t x0 = std::max<std::int64_t>(0, -std::int64_t(dx));
    const std::int64_t x1 = std::min<std::int64_t>(dw, std::int64_t(m_target.Width()) - dx);
    for (std::int64_t y = y0; y < y1; ++y) {
        const std::int64_t ty = std::int64_t(dy) + y;
        const std::int64_t py = sy + ((2 * y + 1) * sh) / (2 * std::int64_t(dh));
        for (std::int64_t x = x0; x < x1; ++x) {
            const std::int64_t tx = std::int64_t(dx) + x;
            const std::int64_t px = sx + ((2 * x + 1) * sw) / (2 * std::int64_t(dw));
            // Source pixels outside the source read as black, as the platform's did.
            std::uint32_t s = 0;
            if (px >= 0 && py >= 0 && px < srcW && py < srcH)
                s = read(ctx, std::int32_t(px), std::int32_t(py));
            std::uint32_t c = s;
            if (rop == MERGEPAINT)
                c = (m_target.GetColor(std::uint32_t(tx), std::uint32_t(ty)) | ~s) & 0xFFFFFF;
            m_target.SetPixel(std::uint32_t(tx), std::uint32_t(ty), PackPixel(f, c, &m_target.GetPalette()));
        }
    }
    return true;
}

bool DeviceContext::StretchBlt(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                               const DeviceContext& src, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                               std::int32_t sh, std::uint32_t rop) {
    const Surface* s = &src.m_target;
    auto read = [](const void* c, std::int32_t x, std::int32_t y) {
        return static_cast<const Surface*>(c)->GetColor(std::uint32_t(x), std::uint32_t(y));
    };
    if (s == &m_target) {
        // Source and destination are one surface: read from a copy.
        Ref<Surface> copy = Surface::Create(s->Width(), s->Height(), s->Format());
        if (!copy) return false;
        copy->GetPalette() = s->GetPalette();
        std::copy(s->Bits(), s->Bits() + std::size_t(s->Pitch()) * s->Height(), copy->Bits());
        return Stretch(dx, dy, dw, dh, sx, sy, sw, sh, std::int32_t(s->Width()), std::int32_t(s->Height()),
                       rop, read, copy.Get());
    }
    return Stretch(dx, dy, dw, dh, sx, sy, sw, sh, std::int32_t(s->Width()), std::int32_t(s->Height()), rop,
                   read, s);
}

bool DeviceContext::StretchBlt(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                               const QImage& src, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                               std::int32_t sh, std::uint32_t rop) {
    auto read = [](const void* c, std::int32_t x, std::int32_t y) {
        return std::uint32_t(static_cast<const QImage*>(c)->pixel(x, y)) & 0xFFFFFF;
    };
    return Stretch(dx, dy, dw, dh, sx, sy, sw, sh, src.width(), src.height(), rop, read, &src);
}

}  // namespace surface
