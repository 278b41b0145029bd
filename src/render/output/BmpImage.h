#pragma once
// The rendered picture as a 24-bit BMP file: a 54-byte header, then the rows bottom-up, each pixel
// blue, green, red, each row padded to a multiple of four bytes. The pixels come from a 32-bit
// 0x00RRGGBB surface of the output size, or of twice the output size in each direction when the
// picture is antialiased (each output pixel is then the plain average of a 2x2 block, rounded
// towards zero).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Bytes of one stored row: 3 × width rounded up to a multiple of 4.
constexpr std::size_t BmpStride(std::uint32_t width) { return (std::size_t{3} * width + 3) / 4 * 4; }
constexpr std::size_t kBmpHeaderSize = 54;

struct SurfacePixels {
    const std::uint8_t* bits = nullptr;  // top row first
    std::ptrdiff_t pitch = 0;            // bytes from one row to the next
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Builds the whole file in one block, `file`, whose memory is reused when it is large enough (a
// render pipeline keeps it from one picture to the next). `surface` must be outWidth × outHeight,
// or twice that in each direction with `antialias`. `onRowPercent` is called on the calling thread
// with r × 100 / outHeight whenever that value changes (the first row always reports), before row r
// is converted. Rows are converted by the worker pool's threads when the picture is large. False
// (and `file` empty) when the sizes do not fit together or the block cannot be allocated.
bool EncodeBmp24Into(std::vector<std::uint8_t>& file, const SurfacePixels& surface, std::uint32_t outWidth,
                     std::uint32_t outHeight, bool antialias,
                     const std::function<void(int percent)>& onRowPercent = {});
// The same into a new block; empty on failure.
std::vector<std::uint8_t> EncodeBmp24(const SurfacePixels& surface, std::uint32_t outWidth,
                                      std::uint32_t outHeight, bool antialias,
                                      const std::function<void(int percent)>& onRowPercent = {});

// Writes `bytes` to `path` through a temporary file renamed into place: a failed or short write
// leaves no partial file behind (and an existing file at `path` as it was).
bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes);
inline bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return WriteFileReplacing(path, std::span<const std::uint8_t>(bytes));
}
