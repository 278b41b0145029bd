#include "render/jpeg/JpegScanDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "render/jpeg/JpegBitReader.h"
#include "render/jpeg/JpegIdct.h"

namespace jpeg {
namespace {

struct ComponentState {
    const HuffmanTable* dc = nullptr;
    const HuffmanTable* ac = nullptr;
    const std::uint16_t* quant = nullptr;
    std::uint32_t predictor = 0;
    int h = 1, v = 1;
    int hRepeat = 1, vRepeat = 1;
    std::int32_t* plane = nullptr;
};

struct Block {
    std::int32_t coeffs[64];
    unsigned rowMask;  // rows that may hold non-zero coefficients
    int lastColumn;    // largest column that may
};

// Decodes one block's coefficients into natural order (dequantised). `block.coeffs` is all zero on entry.
bool DecodeBlock(JpegBitReader& bits, ComponentState& c, Block& block) {
    bits.Refill();  // at least 57 bits unless the data ended: enough for the DC code (16) and size (16)
    int symbol = 0;
    int length = c.dc->Decode(bits.Peek16(), &symbol);
    if (length == 0 || symbol > 16) return false;
    bits.Skip(length);
    c.predictor += ExtendValue(bits.Take(symbol), symbol);
    block.coeffs[0] = static_cast<std::int32_t>(c.predictor * c.quant[0]);
    block.rowMask = 1;
    block.lastColumn = 0;

    for (int k = 1; k < 64;) {
        if (bits.Available() < 32) bits.Refill();  // a code (16) and its value (15) fit in 32 bits
        length = c.ac->Decode(bits.Peek16(), &symbol);
        if (length == 0) return false;
        bits.Skip(length);
        const int run = symbol >> 4;
        const int size = symbol & 0x0F;
        if (size == 0) {
            if (run == 0) break;  // end of block
            if (run != 15) return false;
            k += 16;                   // sixteen zeros
            if (k > 64) return false;  // past the last coefficient
            continue;
        }
        k += run;
        if (k > 63) return false;
        const int pos = JpegScanDecoder::kZigzag[k];
        block.coeffs[pos] = static_cast<std::int32_t>(ExtendValue(bits.Take(size), size) * c.quant[k]);
        block.rowMask |= 1u << (pos >> 3);
        block.lastColumn = std::max(block.lastColumn, pos & 7);
        ++k;
    }
    return !bits.Overrun();
}

// Places the block's 8 × 8 samples, enlarged by the component's repeat factors, at `dst`.
void PlaceBlock(const Block& block, const ComponentState& c, std::int32_t* dst, std::ptrdiff_t stride) {
    if (c.hRepeat == 1 && c.vRepeat == 1) {
        JpegIdct::Transform(block.coeffs, block.rowMask, block.lastColumn, dst, stride);
        return;
    }
    std::int32_t samples[64];
    JpegIdct::Transform(block.coeffs, block.rowMask, block.lastColumn, samples, 8);
    if (c.hRepeat == 2 && c.vRepeat == 2) {
        for (int y = 0; y < 8; ++y) {
            std::int32_t* row0 = dst + 2 * y * stride;
            std::int32_t* row1 = row0 + stride;
            for (int x = 0; x < 8; ++x) row0[2 * x] = row0[2 * x + 1] = samples[8 * y + x];
            std::memcpy(row1, row0, 16 * sizeof(std::int32_t));
        }
        return;
    }
    const int w = 8 * c.hRepeat;
    const int h = 8 * c.vRepeat;
    for (int y = 0; y < h; ++y) {
        const std::int32_t* src = samples + 8 * (y / c.vRepeat);
        std::int32_t* row = dst + y * stride;
        for (int x = 0; x < w; ++x) row[x] = src[x / c.hRepeat];
    }
}

}  // namespace

bool JpegScanDecoder::Decode(const JpegFrame& frame, std::span<const std::uint8_t> data,
                             const JpegPixelWriter& writer, const PixelDestination& destination) {
    const int mcuColumns = ((frame.width + 7) / 8 + frame.hMax - 1) / frame.hMax;
    const int mcuRows = ((frame.height + 7) / 8 + frame.vMax - 1) / frame.vMax;
    const std::ptrdiff_t planeWidth = std::ptrdiff_t{mcuColumns} * frame.hMax * 8;
    const int planeHeight = frame.vMax * 8;
    const std::size_t planeSize = static_cast<std::size_t>(planeWidth) * planeHeight;
    // Zeroed once: places that no block covers (sampling factors that do not divide the largest)
    // read as 0 instead of whatever memory held.
    std::vector<std::int32_t> planes;
    try {
        planes.assign(planeSize * frame.componentCount, 0);
    } catch (const std::bad_alloc&) {
        return false;  // at most 3 × 65648 × 120 samples (95 MB), but memory may still run out
    }

    ComponentState comps[kMaxComponents];
    for (int i = 0; i < frame.componentCount; ++i) {
        const FrameComponent& f = frame.components[i];
        ComponentState& c = comps[i];
        c.dc = &frame.dc[f.dcTable];
        c.ac = &frame.ac[f.acTable];
        c.quant = frame.quant[f.quantTable].data();
        c.h = f.h;
        c.v = f.v;
        c.hRepeat = frame.hMax / f.h;
        c.vRepeat = frame.vMax / f.v;
        c.plane = planes.data() + planeSize * i;
    }

    JpegBitReader bits(data, frame.scanOffset);
    Block block{};
    int mcusSinceRestart = 0;
    for (int mcuY = 0; mcuY < mcuRows; ++mcuY) {
        for (int mcuX = 0; mcuX < mcuColumns; ++mcuX) {
            for (int i = 0; i < frame.componentCount; ++i) {
                ComponentState& c = comps[i];
                std::int32_t* mcuOrigin = c.plane + std::ptrdiff_t{mcuX} * frame.hMax * 8;
                for (int by = 0; by < c.v; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        if (!DecodeBlock(bits, c, block)) return false;
                        std::int32_t* dst = mcuOrigin + by * 8 * c.vRepeat * planeWidth + bx * 8 * c.hRepeat;
                        PlaceBlock(block, c, dst, planeWidth);
                        std::memset(block.coeffs, 0, sizeof block.coeffs);
                    }
                }
            }
            if (frame.restartInterval != 0 && ++mcusSinceRestart == frame.restartInterval) {
                mcusSinceRestart = 0;
                const std::uint8_t marker = bits.Restart();
                if (marker >= kRST0 && marker <= kRST7) {
                    for (int i = 0; i < frame.componentCount; ++i) comps[i].predictor = 0;
                }
            }
        }
        const int firstLine = mcuY * planeHeight;
        const int lines = std::min(planeHeight, frame.height - firstLine);
        for (int line = 0; line < lines; ++line) {
            const std::ptrdiff_t offset = line * planeWidth;
            const int y = firstLine + line;
            const bool grey = frame.componentCount == 1;
            writer.WriteRow(comps[0].plane + offset, grey ? nullptr : comps[1].plane + offset,
                            grey ? nullptr : comps[2].plane + offset, frame.width, y,
                            destination.pixels + y * destination.pitch);
        }
    }
    return true;
}

}  // namespace jpeg
