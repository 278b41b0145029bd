#pragma once
// Turns rows of Y, Cb, Cr plane samples into pixels of the destination format.
//
// Colour conversion in 16.16 fixed point with arithmetic shifts, each result clamped to 0 … 255:
//   R = (Y·65536 + Cr·91881 − 11760768) >> 16
//   G = (Y·65536 − (Cr − 128)·46786 − (Cb − 128)·22551) >> 16
//   B = (Y·65536 + (Cb − 128)·116117) >> 16
// Plane samples lie in −1920 … 2175 (a 32-bit sum shifted by 20, plus 128), so no sum overflows.
// Grey pictures take Cb = Cr = 128, which gives R = G = B = Y.
//
// 8 bits: index 10 + 36·q(R+d) + 6·q(G+d) + q(B+d) of the 6 × 6 × 6 cube, d from the 4 × 4 ordered
// dither at (x mod 4, y mod 4); 16 bits: the OR of three per-channel tables made from the masks;
// 24 bits: B, G, R; 32 bits: B, G, R, 0.

#include <array>
#include <cstdint>

#include "render/jpeg/PixelDestination.h"

namespace jpeg {

class JpegPixelWriter {
  public:
    // Prepares the tables for `format` (kept while the format stays the same). False for a depth
    // other than 8, 16, 24 or 32.
    bool SetFormat(const PixelDestination& format);

    // Writes `width` pixels of picture row `y` to `out`. `cb` and `cr` are null for a grey picture.
    void WriteRow(const std::int32_t* luma, const std::int32_t* cb, const std::int32_t* cr, int width, int y,
                  std::uint8_t* out) const;

    // Writes `width` pixels of picture row `y` to `out` from 32-bit pixels whose bytes are B, G, R, 0
    // (as the fast decoder's kernels make them): the same bytes WriteRow gives for those colours.
    void WriteBgrxRow(const std::uint8_t* bgrx, int width, int y, std::uint8_t* out) const;

    // Building blocks, public for the tests.
    static int CubeLevel(int c);  // q(c) of the 8-bit cube
    static std::array<std::uint16_t, 256> ChannelTable(std::uint32_t mask);
    static constexpr int kDither[4][4] = {
        {-21, 10, -16, 4}, {19, -4, 13, -10}, {-13, 1, -19, 7}, {16, -7, 21, -1}};

  private:
    // Writes `width` pixels of the destination format; colourAt(x) gives the clamped R, G, B of pixel x.
    template <class ColourAt>
    void WritePixels(ColourAt colourAt, int width, int y, std::uint8_t* out) const;

    int m_bits = 0;
    std::uint32_t m_masks[3] = {};
    std::array<std::uint16_t, 256> m_red{}, m_green{}, m_blue{};
    std::array<std::uint8_t, 256 + 42> m_cube{};  // q(c) for c = −21 … 276
};

}  // namespace jpeg
