#pragma once
// The coder of archive entries. The stream is fixed bit for bit (see LzwFormat.h): the archive builder
// and every reader must agree, and an unchanged file must give an unchanged volume.

#include <cstdint>
#include <span>
#include <vector>

namespace lzw {

// Compresses `input` into `output` (header and the completely filled bytes of the code stream; the
// partly filled last byte is not part of the stream). Output may be longer than the input (up to
// 15/8 of it for incompressible bytes). Fails only for inputs of 4 GiB or more, whose length does
// not fit the header.
bool Compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output);

}  // namespace lzw
