#include "render/output/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>

#include "platform/rm/WorkerPool.h"

namespace {

// zlib's fastest level with runs only: a rendered picture, filtered "up", is long runs of zeros
// (background, flat shading) and small steps; runs find those as well as the full search at a
// fraction of the time, and the file comes out smaller than the default strategy's.
constexpr int kLevel = 1;
constexpr int kStrategy = Z_RLE;
constexpr std::uint8_t kFilterUp = 2;
// A zlib stream's header: deflate with a 32 KiB window, "fastest" (0x7801 is a multiple of 31).
constexpr std::array<std::uint8_t, 2> kZlibHeader{0x78, 0x01};
// A PNG chunk's data may hold up to 2^31 - 1 bytes; a piece is cut well below that.
constexpr std::size_t kMaxChunkData = std::size_t{1} << 30;

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                           static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

// Length, type, data and the CRC of type and data. `before` and `after` are data laid around `data`.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& data,
              const std::vector<std::uint8_t>& before = {}, const std::vector<std::uint8_t>& after = {}) {
    PutBig32(out, static_cast<std::uint32_t>(before.size() + data.size() + after.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), before.begin(), before.end());
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), after.begin(), after.end());
    uLong crc = crc32(0L, nullptr, 0);
    for (std::size_t at = typeAt; at < out.size();) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(out.size() - at, std::numeric_limits<uInt>::max()));
        crc = crc32(crc, out.data() + at, n);
        at += n;
    }
    PutBig32(out, static_cast<std::uint32_t>(crc));
}

struct Piece {
    std::uint32_t firstRow = 0, endRow = 0;  // top-down row numbers
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t rawBytes = 0;
    bool ok = false;
};

class Deflater {
  public:
    Deflater() { m_ok = deflateInit2(&m_z, kLevel, Z_DEFLATED, -15, 8, kStrategy) == Z_OK; }
    ~Deflater() {
        if (m_ok) deflateEnd(&m_z);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    bool Ok() const { return m_ok; }
    // Compresses `in` onto the end of `out`; `flush` as deflate takes it.
    bool Add(const std::uint8_t* in, std::size_t size, int flush, std::vector<std::uint8_t>& out) {
        m_z.next_in = const_cast<Bytef*>(in);
        m_z.avail_in = static_cast<uInt>(size);
        for (;;) {
            if (out.capacity() - out.size() < 64) out.reserve(out.capacity() * 2 + 4096);
            const std::size_t had = out.size();
            out.resize(out.capacity());
            m_z.next_out = out.data() + had;
            m_z.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - had, std::numeric_limits<uInt>::max()));
            const uInt room = m_z.avail_out;
            const int result = deflate(&m_z, flush);
            out.resize(had + (room - m_z.avail_out));
            if (result == Z_STREAM_ERROR) return false;
            if (flush == Z_FINISH ? result == Z_STREAM_END : (m_z.avail_in == 0 && m_z.avail_out != 0)) return true;
        }
    }

  private:
    z_stream m_z{};
    bool m_ok = false;
};

void DeflatePiece(Piece& piece, const std::uint8_t* bottomRow, std::size_t stride, std::uint32_t width,
                  std::uint32_t height, bool last) {
    const std::size_t rowBytes = std::size_t{3} * width;
    // Row y from the top, in the BMP's bytes.
    auto bgrRow = [&](std::uint32_t y) { return bottomRow + stride * (height - 1 - y); };
    Deflater deflater;
    if (!deflater.Ok()) return;
    std::vector<std::uint8_t> filtered(1 + rowBytes);
    filtered[0] = kFilterUp;
    piece.deflated.reserve(
        static_cast<std::size_t>(piece.endRow - piece.firstRow) * (rowBytes + 1) / 16 + 1024);
    for (std::uint32_t y = piece.firstRow; y < piece.endRow; ++y) {
        const std::uint8_t* bgr = bgrRow(y);
        std::uint8_t* out = filtered.data() + 1;
        if (y == 0) {
            for (std::size_t x = 0; x < rowBytes; x += 3) {
                out[x] = bgr[x + 2];
                out[x + 1] = bgr[x + 1];
                out[x + 2] = bgr[x];
            }
        } else {
            const std::uint8_t* above = bgrRow(y - 1);
            for (std::size_t x = 0; x < rowBytes; x += 3) {
                out[x] = static_cast<std::uint8_t>(bgr[x + 2] - above[x + 2]);
                out[x + 1] = static_cast<std::uint8_t>(bgr[x + 1] - above[x + 1]);
                out[x + 2] = static_cast<std::uint8_t>(bgr[x] - above[x]);
            }
        }
        piece.adler = adler32(piece.adler, filtered.data(), static_cast<uInt>(filtered.size()));
        piece.rawBytes += filtered.size();
        const bool end = y + 1 == piece.endRow;
        const int flush = !end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
        if (!deflater.Add(filtered.data(), filtered.size(), flush, piece.deflated)) return;
    }
    piece.ok = true;
}

}  // namespace

std::vector<std::uint8_t> EncodePngFromBgrRows(const std::uint8_t* bottomRow, std::size_t stride,
                                               std::uint32_t width, std::uint32_t height,
                                               std::optional<PngResolution> resolution) {
    constexpr std::uint32_t kMaxSide = 0x7FFFFFFF;
    if (!bottomRow || width == 0 || height == 0 || width > kMaxSide / 3 || height > kMaxSide ||
        stride < std::size_t{3} * width)
        return {};
    const std::size_t rowBytes = std::size_t{3} * width + 1;
    // Rows a piece: about kPngPieceBytes of filtered rows, and at least one row. A row holds at most
    // 2^31 bytes, so a piece's deflated bytes stay far below a chunk's limit.
    const std::size_t rowsPerPiece = std::max<std::size_t>(1, kPngPieceBytes / rowBytes);
    if (rowsPerPiece * rowBytes > kMaxChunkData) return {};
    std::vector<Piece> pieces((height + rowsPerPiece - 1) / rowsPerPiece);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        pieces[i].firstRow = static_cast<std::uint32_t>(i * rowsPerPiece);
        pieces[i].endRow = static_cast<std::uint32_t>(std::min<std::size_t>(height, (i + 1) * rowsPerPiece));
    }
    rm::WorkerPool::Shared().ForEach(pieces.size(), [&](std::size_t i, unsigned) {
        DeflatePiece(pieces[i], bottomRow, stride, width, height, i + 1 == pieces.size());
    });

    uLong adler = adler32(0L, nullptr, 0);
    for (const Piece& p : pieces) {
        if (!p.ok) return {};
        adler = adler32_combine(adler, p.adler, static_cast<z_off_t>(p.rawBytes));
    }

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, width);
    PutBig32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    PutChunk(png, "IHDR", header);
    if (resolution) {
        std::vector<std::uint8_t> phys;
        PutBig32(phys, resolution->xPerMetre);
        PutBig32(phys, resolution->yPerMetre);
        phys.push_back(1);  // the metre
        PutChunk(png, "pHYs", phys);
    }
    // One IDAT a piece: the zlib header before the first, the checksum after the last.
    std::vector<std::uint8_t> trailer;
    PutBig32(trailer, static_cast<std::uint32_t>(adler));
    const std::vector<std::uint8_t> zlibHeader(kZlibHeader.begin(), kZlibHeader.end()), none;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        PutChunk(png, "IDAT", pieces[i].deflated, i == 0 ? zlibHeader : none, i + 1 == pieces.size() ? trailer : none);
    PutChunk(png, "IEND", {});
    return png;
}
