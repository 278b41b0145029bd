#include "library/CollectionList.h"

#include <algorithm>

#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "platform/surface/DeviceContext.h"
#include "render/bitmap/JpegSurface.h"
#include "render/bitmap/PictureLoading.h"

namespace collection {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kDarkGrey = 0x404040;
constexpr std::uint32_t kPlaceholderFill = 0xE0E0E0;
constexpr std::uint32_t kPlaceholderFrame = 0xA0A0A0;
constexpr QRgb kHighlight = qRgb(0, 0, 128);  // 0x800000 as a COLORREF
constexpr QRgb kSelectionFrame = qRgb(255, 255, 0);

std::span<const std::uint8_t> ReadWhole(CCommunicator& archive, const std::string& name) {
    std::size_t length = 0;
    const char* data = archive.Read(name, length);
    if (!data) return {};
    return {reinterpret_cast<const std::uint8_t*>(data), length};
}

void DrawTexts(surface::Surface& image, const std::vector<scene::PartListEntry>& entries, int width) {
    surface::DeviceContext* dc = image.GetDC();
    if (!dc) return;
    dc->FillRect({0, 0, width, static_cast<std::int32_t>(image.Height())}, kWhite);
    dc->SelectFont({"ＭＳ ゴシック", 12, 400});
    dc->SetBkMode(surface::TRANSPARENT);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int top = static_cast<int>(i) * kRowHeight;
        const std::vector<std::string> lines = scene::SplitDisplayLines(entries[i].name);
        for (std::size_t k = 0; k < lines.size(); ++k)
            dc->TextOut(kTextX, top + 2 + kLineHeight * static_cast<int>(k), cp932::ToUtf8(lines[k]));
        dc->FrameRect({0, top, width, top + kRowHeight + 1}, kDarkGrey);
    }
    image.ReleaseDC(dc);
}

void DrawPlaceholder(surface::Surface& image, int top) {
    surface::DeviceContext* dc = image.GetDC();
    if (!dc) return;
    const surface::Rect box{1, top + 1, 1 + kThumbnailSize, top + 1 + kThumbnailSize};
    dc->FillRect(box, kPlaceholderFill);
    dc->FrameRect(box, kPlaceholderFrame);
    image.ReleaseDC(dc);
}

}  // namespace

int EntryAt(int y, std::size_t count) {
    if (y <= kTopMargin || count == 0) return -1;
    return std::min((y - kTopMargin) / kRowHeight, static_cast<int>(count) - 1);
}

std::vector<scene::PartListEntry> ReadPartList(CCommunicator& archive, const std::string& folder) {
    std::size_t length = 0;
    const char* data = archive.Read(folder + "plist.txt", length);
    if (!data) return {};
    // The archive's buffer lasts until its next read; the parser copies what it keeps.
    return scene::ParsePartList(std::string_view(data, length), folder);
}

surface::Ref<surface::Surface> BuildListImage(const surface::DirectDraw& directDraw, CCommunicator& archive,
                                              const std::vector<scene::PartListEntry>& entries, int windowWidth) {
    const int width = ImageWidth(windowWidth);
    if (width <= 0 || entries.empty()) return {};
    surface::Ref<surface::Surface> image =
        bitmap::CreatePlainSurface(directDraw, static_cast<std::uint32_t>(width), ImageHeight(entries.size()));
    if (!image) return {};
    DrawTexts(*image, entries, width);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int top = static_cast<int>(i) * kRowHeight;
        surface::Ref<surface::Surface> thumbnail;
        if (const auto bytes = ReadWhole(archive, entries[i].thumbnailPath); !bytes.empty())
            thumbnail = bitmap::DecodeJpeg(directDraw, bytes);
        if (!thumbnail) {
            DrawPlaceholder(*image, top);
            continue;
        }
        const surface::Rect cell{0, 0, static_cast<std::int32_t>(std::min<std::uint32_t>(thumbnail->Width(), kThumbnailSize)),
                                 static_cast<std::int32_t>(std::min<std::uint32_t>(thumbnail->Height(), kThumbnailSize))};
        image->BltFast(1, top + 1, thumbnail.Get(), &cell, surface::DDBLTFAST_WAIT);
    }
    return image;
}

void PaintList(QImage& window, const QImage& listImage, int selection) {
    if (listImage.isNull()) return;
    const int width = listImage.width();
    for (int y = 0; y < listImage.height() && y + kTopMargin < window.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(listImage.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(window.scanLine(y + kTopMargin));
        std::copy(from, from + std::min(width, window.width()), to);
    }
    if (selection < 0) return;
    // The text area of the entry: x 65 … W − 1, 64 rows from the entry's first text row.
    const int top = kRowHeight * selection + 3;
    const int sourceTop = kRowHeight * selection + 1;
    for (int row = 0; row < kThumbnailSize; ++row) {
        const int y = top + row, sy = sourceTop + row;
        if (y < 0 || y >= window.height() || sy >= listImage.height()) break;
        QRgb* to = reinterpret_cast<QRgb*>(window.scanLine(y));
        const QRgb* from = reinterpret_cast<const QRgb*>(listImage.constScanLine(sy));
        for (int x = kRowHeight; x < width - 1 && x < window.width(); ++x)
            to[x] = 0xFF000000u | ((kHighlight | ~from[x]) & 0xFFFFFFu);
    }
    // The yellow frame: left 1, top 65·s + 3, right W − 1, bottom 65·s + 67 (right and bottom
    // outside, as rectangles go).
    const int left = 1, right = width - 1, bottom = kRowHeight * selection + 67;
    auto plot = [&window](int x, int y) {
        if (x >= 0 && y >= 0 && x < window.width() && y < window.height()) window.setPixel(x, y, kSelectionFrame);
    };
    for (int x = left; x < right; ++x) {
        plot(x, top);
        plot(x, bottom - 1);
    }
    for (int y = top; y < bottom; ++y) {
        plot(left, y);
        plot(right - 1, y);
    }
}

}  // namespace collection
