#pragma once
// The system's own baseline JPEG decoder (JFIF files held in memory).
//
// It takes exactly: FF D8 FF E0 at the start, one baseline sequential Huffman-coded frame (SOF0) of
// 8-bit samples with one or three components and any sampling factors 1 … 15, up to four tables of
// each kind, restart intervals and one scan. Everything else is refused.
//
// Use in two steps, so that the caller allocates the picture only for a file that passed the header
// checks:
//   jpeg::JpegDecoder decoder;
//   if (!decoder.ReadHeader(bytes)) return nothing;
//   ... create and lock a Width() × Height() surface ...
//   if (!decoder.Decode(destination)) return nothing;   // discard the surface
//
// A decoder object keeps its output conversion tables from one decode to the next and rebuilds them
// only when the destination format changes. Decoders are independent: each has its own state.
//
// A decoder runs the fastest path the processor has (BestDecodePath) unless told otherwise; every
// path gives the same bytes (JpegDecodePath.h).

#include <cstdint>
#include <span>

#include "render/jpeg/JpegDecodePath.h"
#include "render/jpeg/JpegFrame.h"
#include "render/jpeg/JpegPixelWriter.h"
#include "render/jpeg/PixelDestination.h"

namespace jpeg {

class JpegDecoder {
  public:
    // Walks the headers of `data` (which must stay alive until Decode returns). False when the file is
    // refused; no pixel memory is needed for that.
    bool ReadHeader(std::span<const std::uint8_t> data);
    int Width() const { return m_frame.width; }
    int Height() const { return m_frame.height; }
    int ComponentCount() const { return m_frame.componentCount; }

    // Decodes the scan into `destination` (Width() × Height() pixels). False when no header was read,
    // the destination is unusable (no pixels, a depth other than 8/16/24/32, a pitch shorter than a
    // row) or the entropy-coded data is corrupt or ends early.
    bool Decode(const PixelDestination& destination);

    // Chooses the implementation of later decodes. False, and nothing changes, when the processor
    // cannot run `path`.
    bool SetDecodePath(JpegDecodePath path);
    JpegDecodePath DecodePath() const { return m_path; }

  private:
    std::span<const std::uint8_t> m_data;
    JpegFrame m_frame;
    bool m_headerRead = false;
    JpegPixelWriter m_writer;
    JpegDecodePath m_path = BestDecodePath();
};

}  // namespace jpeg
