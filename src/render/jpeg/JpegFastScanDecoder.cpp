#include "render/jpeg/JpegFastScanDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "render/jpeg/JpegBitReader.h"
#include "render/jpeg/JpegBlockDecoder.h"
#include "render/jpeg/JpegFastHuffman.h"
#include "render/jpeg/JpegScanDecoder.h"

namespace jpeg {
namespace {

struct Component {
    BlockCoding coding;
    int h = 1, v = 1;
    int hRepeat = 1, vRepeat = 1;
    std::int16_t* plane = nullptr;  // 8·v rows of `stride` samples: one MCU row at the component's resolution
    std::ptrdiff_t stride = 0;
};

struct Tables {
    JpegFastHuffman dc[kTableSlots];
    JpegFastHuffman ac[kTableSlots];
};

// A block with only its DC coefficient: every sample is 362 · 362 · F >> 20, plus 128.
void FillFlatBlock(std::int32_t dc, std::int16_t* out, std::ptrdiff_t stride) {
    const auto sample = static_cast<std::int16_t>(
        (static_cast<std::int32_t>(131044u * static_cast<std::uint32_t>(dc)) >> 20) + 128);
    for (int y = 0; y < 8; ++y, out += stride)
        for (int x = 0; x < 8; ++x) out[x] = sample;
}

// The samples x / repeat for x = 0 … width − 1 of `row`.
void Enlarge(const std::int16_t* row, int repeat, int width, std::int16_t* out) {
    for (int x = 0; x < width; ++x) out[x] = row[x / repeat];
}

}  // namespace

bool JpegFastScanDecoder::Takes(const JpegFrame& frame) {
    for (int i = 0; i < frame.componentCount; ++i) {
        const FrameComponent& c = frame.components[i];
        if (frame.hMax % c.h != 0 || frame.vMax % c.v != 0) return false;
    }
    return true;
}

bool JpegFastScanDecoder::Decode(const JpegFrame& frame, std::span<const std::uint8_t> data,
                                 const JpegPixelWriter& writer, const PixelDestination& destination,
                                 const JpegKernels& kernels) {
    const int mcuColumns = ((frame.width + 7) / 8 + frame.hMax - 1) / frame.hMax;
    const int mcuRows = ((frame.height + 7) / 8 + frame.vMax - 1) / frame.vMax;
    const int planeHeight = frame.vMax * 8;
    const std::size_t fullWidth = static_cast<std::size_t>(mcuColumns) * frame.hMax * 8;

    // Three lines of enlarged samples for the sampling factors the kernels do not enlarge
    // themselves, then the planes at each component's resolution (at most 3 × 65648 × 120 samples,
    // as in the reference); one line of 32-bit pixels for destinations of other depths.
    Component comps[kMaxComponents];
    std::size_t sampleCount = 3 * fullWidth;
    for (int i = 0; i < frame.componentCount; ++i) {
        const FrameComponent& f = frame.components[i];
        sampleCount += static_cast<std::size_t>(mcuColumns) * f.h * 8 * 8 * f.v;
    }
    std::vector<std::int16_t> samples;
    std::vector<std::uint8_t> pixelLine;
    std::unique_ptr<Tables> tables;
    try {
        samples.assign(sampleCount, 0);
        if (destination.bitsPerPixel != 32) pixelLine.assign(static_cast<std::size_t>(frame.width) * 4, 0);
        tables = std::make_unique<Tables>();
    } catch (const std::bad_alloc&) {
        return false;
    }

    std::int16_t* next = samples.data();
    std::int16_t* enlarged[kMaxComponents];
    for (auto& line : enlarged) {
        line = next;
        next += fullWidth;
    }
    bool dcBuilt[kTableSlots] = {}, acBuilt[kTableSlots] = {};
    for (int i = 0; i < frame.componentCount; ++i) {
        const FrameComponent& f = frame.components[i];
        Component& c = comps[i];
        if (!dcBuilt[f.dcTable]) tables->dc[f.dcTable].Build(frame.dc[f.dcTable], false);
        if (!acBuilt[f.acTable]) tables->ac[f.acTable].Build(frame.ac[f.acTable], true);
        dcBuilt[f.dcTable] = acBuilt[f.acTable] = true;
        c.coding.dc = &tables->dc[f.dcTable];
        c.coding.ac = &tables->ac[f.acTable];
        for (int k = 0; k < 64; ++k) {
            const std::uint32_t slot = kernels.slotOfNatural[JpegScanDecoder::kZigzag[k]];
            c.coding.quantAndSlot[k] = frame.quant[f.quantTable][k] | slot << 16;
        }
        c.h = f.h;
        c.v = f.v;
        c.hRepeat = frame.hMax / f.h;
        c.vRepeat = frame.vMax / f.v;
        c.stride = static_cast<std::ptrdiff_t>(mcuColumns) * f.h * 8;
        c.plane = next;
        next += c.stride * 8 * f.v;
    }

    const bool grey = frame.componentCount == 1;
    const bool halfChroma = !grey && comps[0].hRepeat == 1 && comps[1].hRepeat == 2 && comps[2].hRepeat == 2;
    const bool fullChroma = !grey && comps[0].hRepeat == 1 && comps[1].hRepeat == 1 && comps[2].hRepeat == 1;

    JpegBitReader bits(data, frame.scanOffset);
    alignas(32) std::int32_t coeffs[64] = {};
    int mcusSinceRestart = 0;
    for (int mcuY = 0; mcuY < mcuRows; ++mcuY) {
        for (int mcuX = 0; mcuX < mcuColumns; ++mcuX) {
            for (int i = 0; i < frame.componentCount; ++i) {
                Component& c = comps[i];
                std::int16_t* mcuOrigin = c.plane + std::ptrdiff_t{mcuX} * c.h * 8;
                for (int by = 0; by < c.v; ++by) {
                    for (int bx = 0; bx < c.h; ++bx) {
                        DecodedBlock block;
                        if (!DecodeBlock(bits, c.coding, coeffs, &block)) return false;
                        std::int16_t* dst = mcuOrigin + by * 8 * c.stride + bx * 8;
                        if (block.hasAc) {
                            kernels.transform(coeffs, block.fitInt16, dst, c.stride);
                            std::memset(coeffs, 0, sizeof coeffs);
                        } else {
                            FillFlatBlock(block.dc, dst, c.stride);
                            coeffs[c.coding.quantAndSlot[0] >> 16] = 0;
                        }
                    }
                }
            }
            if (frame.restartInterval != 0 && ++mcusSinceRestart == frame.restartInterval) {
                mcusSinceRestart = 0;
                const std::uint8_t marker = bits.Restart();
                if (marker >= kRST0 && marker <= kRST7) {
                    for (int i = 0; i < frame.componentCount; ++i) comps[i].coding.predictor = 0;
                }
            }
        }
        const int firstLine = mcuY * planeHeight;
        const int lines = std::min(planeHeight, frame.height - firstLine);
        for (int line = 0; line < lines; ++line) {
            const int y = firstLine + line;
            std::uint8_t* out = destination.pixels + y * destination.pitch;
            std::uint8_t* pixels = destination.bitsPerPixel == 32 ? out : pixelLine.data();
            const std::int16_t* rows[kMaxComponents];
            for (int i = 0; i < frame.componentCount; ++i)
                rows[i] = comps[i].plane + line / comps[i].vRepeat * comps[i].stride;
            if (grey) {
                kernels.greyRow(rows[0], frame.width, pixels);
            } else if (halfChroma) {
                kernels.colourRowHalfChroma(rows[0], rows[1], rows[2], frame.width, pixels);
            } else {
                if (!fullChroma) {
                    for (int i = 0; i < 3; ++i) {
                        if (comps[i].hRepeat == 1) continue;
                        Enlarge(rows[i], comps[i].hRepeat, frame.width, enlarged[i]);
                        rows[i] = enlarged[i];
                    }
                }
                kernels.colourRow(rows[0], rows[1], rows[2], frame.width, pixels);
            }
            if (destination.bitsPerPixel != 32) writer.WriteBgrxRow(pixels, frame.width, y, out);
        }
    }
    return true;
}

}  // namespace jpeg
