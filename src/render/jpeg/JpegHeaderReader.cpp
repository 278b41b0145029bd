#include "render/jpeg/JpegHeaderReader.h"

#include <algorithm>

#include "render/jpeg/JpegMarkers.h"

namespace jpeg {
namespace {

// Big-endian reads inside one segment. Reading past its end yields zero and sets a sticky failure
// that the caller checks once per segment.
class SegmentReader {
  public:
    explicit SegmentReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint8_t U8() {
        if (m_pos >= m_bytes.size()) {
            m_failed = true;
            return 0;
        }
        return m_bytes[m_pos++];
    }
    int U16() {
        const int high = U8();
        return high << 8 | U8();
    }
    std::span<const std::uint8_t> Bytes(std::size_t n) {
        if (n > Remaining()) {
            m_failed = true;
            m_pos = m_bytes.size();
            return {};
        }
        auto out = m_bytes.subspan(m_pos, n);
        m_pos += n;
        return out;
    }
    void Skip(std::size_t n) { Bytes(n); }
    std::size_t Remaining() const { return m_bytes.size() - m_pos; }
    bool Ok() const { return !m_failed; }

  private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

bool ReadFrameHeader(SegmentReader& in, JpegFrame* frame) {
    const int precision = in.U8();
    frame->height = in.U16();
    frame->width = in.U16();
    frame->componentCount = in.U8();
    if (!in.Ok() || precision != 8) return false;
    if (frame->componentCount != 1 && frame->componentCount != 3) return false;
    frame->hMax = frame->vMax = 1;
    for (int i = 0; i < frame->componentCount; ++i) {
        FrameComponent& c = frame->components[i];
        c.id = in.U8();
        const int sampling = in.U8();
        c.h = sampling >> 4;
        c.v = sampling & 0x0F;
        c.quantTable = in.U8();
        if (c.h == 0 || c.v == 0 || c.quantTable >= kTableSlots) return false;
        frame->hMax = std::max(frame->hMax, c.h);
        frame->vMax = std::max(frame->vMax, c.v);
    }
    if (frame->componentCount == 1) {
        // A scan of one component codes its blocks one by one in raster order, whatever
        // sampling factors the frame gives it.
        frame->components[0].h = frame->components[0].v = 1;
        frame->hMax = frame->vMax = 1;
    }
    return in.Ok();
}

bool ReadHuffmanTables(SegmentReader& in, JpegFrame* frame) {
    while (in.Remaining() > 0) {
        const int classAndNumber = in.U8();
        if (classAndNumber >= 0x20 || (classAndNumber & 0x0F) >= kTableSlots) return false;
        const auto counts = in.Bytes(16);
        if (!in.Ok()) return false;
        std::size_t total = 0;
        for (std::uint8_t c : counts) total += c;
        if (total > HuffmanTable::kMaxSymbols) return false;
        const auto symbols = in.Bytes(total);
        if (!in.Ok()) return false;
        auto& tables = (classAndNumber >> 4) == 0 ? frame->dc : frame->ac;
        if (!tables[classAndNumber & 0x0F].Build(counts.first<16>(), symbols)) return false;
    }
    return true;
}

bool ReadQuantTables(SegmentReader& in, JpegFrame* frame) {
    // Bytes left over that cannot hold even an 8-bit table are ignored.
    while (in.Remaining() >= 65) {
        const int precisionAndNumber = in.U8();
        const int slot = precisionAndNumber & 0x03;
        const bool wide = precisionAndNumber >= 16;
        const auto bytes = in.Bytes(wide ? 128 : 64);
        if (!in.Ok()) return false;
        for (int k = 0; k < 64; ++k) {
            frame->quant[slot][k] =
                wide ? static_cast<std::uint16_t>(bytes[2 * k] << 8 | bytes[2 * k + 1]) : bytes[k];
        }
        frame->quantDefined[slot] = true;
    }
    return true;
}

bool ReadScanHeader(SegmentReader& in, JpegFrame* frame) {
    const int count = in.U8();
    // One scan carries the whole picture, so it must cover every component of the frame.
    if (!in.Ok() || count != frame->componentCount) return false;
    for (int i = 0; i < count; ++i) {
        in.U8();  // component selector: tables are taken by position
        const int tables = in.U8();
        FrameComponent& c = frame->components[i];
        c.dcTable = tables >> 4;
        c.acTable = tables & 0x0F;
        if (c.dcTable >= kTableSlots || c.acTable >= kTableSlots) return false;
    }
    in.Skip(3);  // spectral selection and successive approximation
    return in.Ok();
}

bool TablesPresent(const JpegFrame& frame) {
    for (int i = 0; i < frame.componentCount; ++i) {
        const FrameComponent& c = frame.components[i];
        if (!frame.quantDefined[c.quantTable] || !frame.dc[c.dcTable].Defined() ||
            !frame.ac[c.acTable].Defined())
            return false;
    }
    return true;
}

// Every block costs at least two bits (a DC code and an AC code), so a scan of n blocks needs at
// least n / 4 bytes. Checked before the caller allocates the picture.
bool ScanCanHoldPicture(const JpegFrame& frame, std::size_t scanBytes) {
    const std::int64_t pixels = std::int64_t{frame.width} * frame.height;
    if (frame.width == 0 || frame.height == 0 || pixels > kMaxPixels) return false;
    const std::int64_t mcuColumns = ((frame.width + 7) / 8 + frame.hMax - 1) / frame.hMax;
    const std::int64_t mcuRows = ((frame.height + 7) / 8 + frame.vMax - 1) / frame.vMax;
    std::int64_t blocksPerMcu = 0;
    for (int i = 0; i < frame.componentCount; ++i)
        blocksPerMcu += frame.components[i].h * frame.components[i].v;
    const std::int64_t blocks = mcuColumns * mcuRows * blocksPerMcu;
    return static_cast<std::int64_t>(scanBytes) >= (blocks + 3) / 4;
}

bool IsRefusedFrameType(std::uint8_t code) {
    return code == 0xC1 || code == 0xC2 || code == 0xC3 || (code >= 0xC5 && code <= 0xC7) ||
           (code >= 0xC9 && code <= 0xCF) || code == 0xDE || code == 0xDF;
}

}  // namespace

bool JpegHeaderReader::Read(std::span<const std::uint8_t> data, JpegFrame* frame) {
    *frame = JpegFrame{};
    if (data.size() < 4 || data[0] != 0xFF || data[1] != kSOI || data[2] != 0xFF || data[3] != kAPP0)
        return false;
    bool haveFrame = false;
    std::size_t pos = 2;  // just past the start-of-image marker
    for (;;) {
        const auto marker = FindMarker(data, pos);
        if (!marker) return false;  // no scan at all
        const std::uint8_t code = marker->code;
        if (code == kEOI || IsRefusedFrameType(code)) return false;
        const bool known = code == kSOF0 || code == kDHT || code == kDQT || code == kDRI || code == kDNL ||
                           code == kSOS || (code >= kAPP0 && code <= kAPP15) || code == kCOM;
        if (!known) return false;  // RSTn, a second SOI, anything reserved

        // Every segment's length counts its own two bytes and must lie inside the data.
        if (data.size() - marker->next < 2) return false;
        const std::size_t length = std::size_t{data[marker->next]} << 8 | data[marker->next + 1];
        if (length < 2 || length > data.size() - marker->next) return false;
        SegmentReader in(data.subspan(marker->next + 2, length - 2));
        pos = marker->next + length;

        switch (code) {
            case kSOF0:
                if (haveFrame || !ReadFrameHeader(in, frame)) return false;
                haveFrame = true;
                break;
            case kDHT:
                if (!ReadHuffmanTables(in, frame)) return false;
                break;
            case kDQT:
                if (!ReadQuantTables(in, frame)) return false;
                break;
            case kDRI:
                frame->restartInterval = in.U16();
                break;
            case kDNL:
                frame->height = in.U16();
                break;
            case kSOS:
                if (!haveFrame || !ReadScanHeader(in, frame)) return false;
                frame->scanOffset = pos;
                return TablesPresent(*frame) && ScanCanHoldPicture(*frame, data.size() - pos);
            default:  // APPn and COM are skipped by their length
                break;
        }
        if (!in.Ok()) return false;
    }
}

}  // namespace jpeg
