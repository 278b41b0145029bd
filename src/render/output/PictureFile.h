#pragma once
// The rendered picture's file in the format its name asks for: ".png" (in any case) gives a PNG,
// every other name (".bmp", none, anything else) the 24-bit BMP. Both hold the same pixels: the
// PNG is made from the BMP's rows, 8 bits a channel, no alpha. Both are written through a
// temporary file renamed into place, so a failed write leaves no partial file and keeps an
// earlier file of that name as it was.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class PictureFileFormat { Bmp, Png };

// The format the output file's name asks for (its last path element's extension).
PictureFileFormat PictureFormatOfName(const std::string& path);

// The PNG file of the picture held in the bytes of a 24-bit BMP made by EncodeBmp24; empty when
// those bytes are not such a file or the encoder fails.
std::vector<std::uint8_t> EncodePngFromBmp24(std::span<const std::uint8_t> bmp);
inline std::vector<std::uint8_t> EncodePngFromBmp24(const std::vector<std::uint8_t>& bmp) {
    return EncodePngFromBmp24(std::span<const std::uint8_t>(bmp));
}

// Writes the picture (the bytes of a 24-bit BMP made by EncodeBmp24) to `path` in the format its
// name asks for. False when the encoding or the write fails.
bool WriteRenderedPicture(const std::string& path, std::span<const std::uint8_t> bmp);
inline bool WriteRenderedPicture(const std::string& path, const std::vector<std::uint8_t>& bmp) {
    return WriteRenderedPicture(path, std::span<const std::uint8_t>(bmp));
}
