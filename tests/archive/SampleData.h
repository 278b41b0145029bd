#pragma once
// Deterministic inputs for the codec's tests and benchmarks: text shaped like the archive's mesh
// files, and bytes that do not compress.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sample {

// Text in the layout of a mesh file: frames, vertex and face lists with decimal numbers.
std::vector<std::uint8_t> MeshText(std::size_t size, std::uint32_t seed = 1);
// Uniformly random bytes (xorshift).
std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed = 1);

}  // namespace sample
