#pragma once
// The compressed stream of an archive entry: an 8-byte header (signature, uncompressed length, both
// 32-bit little-endian) and a code stream of variable-width LZW codes, most significant bit first.
//
// Widths start at 9 bits and change only through the control codes: BUMP widens by one bit, FLUSH
// starts a new dictionary generation at 9 bits. Codes 259 to 32767 are dictionary strings assigned in
// order of first occurrence, so the widest code is 15 bits.

#include <cstddef>
#include <cstdint>

namespace lzw {

inline constexpr std::uint32_t kSignature = 0xFF67FEB2;
inline constexpr std::size_t kHeaderSize = 8;

inline constexpr unsigned kCodeEnd = 256;
inline constexpr unsigned kCodeBump = 257;
inline constexpr unsigned kCodeFlush = 258;
inline constexpr unsigned kFirstFreeCode = 259;
inline constexpr unsigned kLastCode = 32767;
inline constexpr unsigned kStartWidth = 9;
inline constexpr unsigned kMaxWidth = 15;
inline constexpr unsigned kFirstBumpLimit = 511;

// Room the decoder zeroes past the uncompressed length; callers' expansion buffers carry it.
inline constexpr std::size_t kExpandSlack = 1024;

}  // namespace lzw
