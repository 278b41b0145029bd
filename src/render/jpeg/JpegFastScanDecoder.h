#pragma once
// The fast paths' scan decoding: the same MCU order, restarts and refusals as JpegScanDecoder, with
// the combined code-and-value look-up, the transform of a kernel set writing 16-bit samples into one
// plane per component at that component's own resolution, and upsampling (nearest neighbour, as
// in the reference) done while the kernel set converts a line to pixels.
//
// It takes the frames whose sampling factors each divide the largest ones, which is every frame
// common encoders write (4:4:4, 4:2:2, 4:2:0, 4:4:0, 4:1:1, grey). In the others, a block's
// enlarged copy does not tile the MCU, and the reference decoder, which replicates into full-size
// planes, decodes them.

#include <cstdint>
#include <span>

#include "render/jpeg/JpegFrame.h"
#include "render/jpeg/JpegKernels.h"
#include "render/jpeg/JpegPixelWriter.h"
#include "render/jpeg/PixelDestination.h"

namespace jpeg {

class JpegFastScanDecoder {
  public:
    static bool Takes(const JpegFrame& frame);

    // As JpegScanDecoder::Decode, for a frame that Takes() accepts; the writer's format must be the
    // destination's.
    static bool Decode(const JpegFrame& frame, std::span<const std::uint8_t> data,
                       const JpegPixelWriter& writer, const PixelDestination& destination,
                       const JpegKernels& kernels);
};

}  // namespace jpeg
