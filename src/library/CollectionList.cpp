#include "library/CollectionList.h"

#include <QPainter>
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
const QColor kSelectionFrame(255, 255, 0);

// Thumbnails decoded by BuildListImage; the user-interface thread alone draws lists.
std::size_t g_thumbnailsDecoded = 0;

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

int EntryInUse(const std::vector<scene::PartListEntry>& entries, std::string_view partPath) {
    if (partPath.empty()) return 0;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (cp932::EqualsNoCase(entries[i].partPath, partPath)) return static_cast<int>(i);
    return 0;
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
        if (const auto bytes = ReadWhole(archive, entries[i].thumbnailPath); !bytes.empty()) {
            ++g_thumbnailsDecoded;
            thumbnail = bitmap::DecodeJpeg(directDraw, bytes);
        }
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

std::size_t ThumbnailsDecoded() {
    return g_thumbnailsDecoded;
}

void PaintList(QPainter& painter, const QImage& listImage, int selection) {
    if (listImage.isNull()) return;
    painter.drawImage(0, kTopMargin, listImage);
    if (selection < 0) return;
    // The text area of the entry: x 65 … W − 2, 64 rows from the entry's first text row.
    const int width = listImage.width();
    const int top = kRowHeight * selection + 3;
    const int sourceTop = kRowHeight * selection + 1;
    const int textWidth = width - 1 - kRowHeight;
    const int rows = std::min(kThumbnailSize, listImage.height() - sourceTop);
    if (textWidth > 0 && rows > 0) {
        QImage text(textWidth, rows, QImage::Format_RGB32);
        for (int row = 0; row < rows; ++row) {
            const QRgb* from =
                reinterpret_cast<const QRgb*>(listImage.constScanLine(sourceTop + row)) + kRowHeight;
            QRgb* to = reinterpret_cast<QRgb*>(text.scanLine(row));
            for (int x = 0; x < textWidth; ++x) to[x] = 0xFF000000u | ((kHighlight | ~from[x]) & 0xFFFFFFu);
        }
        painter.drawImage(kRowHeight, top, text);
    }
    // The yellow frame: left 1, top 65·s + 3, right W − 1, bottom 65·s + 67 (right and bottom
    // outside, as rectangles go).
    const int left = 1, right = width - 1, bottom = kRowHeight * selection + 67;
    if (right <= left) return;
    painter.fillRect(left, top, right - left, 1, kSelectionFrame);
    painter.fillRect(left, bottom - 1, right - left, 1, kSelectionFrame);
    painter.fillRect(left, top, 1, bottom - top, kSelectionFrame);
    painter.fillRect(right - 1, top, 1, bottom - top, kSelectionFrame);
}

}  // namespace collection
