#pragma once
// Every JPEG picture the tests know, as files: what libjpeg-turbo writes in each sampling, size,
// quality and restart interval; the hand-built files of unusual sampling factors, 16-bit tables and
// coefficients too large for 16 bits; the starting corpus of the fuzz harness; and the two
// 1600 × 1200 pictures of the decode benchmark. The tests that compare the decode paths run on all
// of them, and on damaged copies of them.

#include <cstdint>
#include <string>
#include <vector>

namespace jpegtest {

struct NamedFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The fuzz harness's seeds (small files of libjpeg-turbo in every sampling, with and without
// restart markers, and hand-built ones).
std::vector<NamedFile> FuzzSeedFiles();

// The decode benchmark's picture: 1600 × 1200 (or as given), quality 90, 4:2:0 or 4:4:4.
std::vector<std::uint8_t> BenchmarkPicture(int width, int height, bool subsampled);

// All of the above and more; see the file comment.
std::vector<NamedFile> AllTestPictures();

// Damaged copies of `file`: cut short at several places in the entropy-coded data, and with bytes
// of it changed (some to FF, which makes markers), chosen by a fixed pseudo-random sequence.
std::vector<NamedFile> DamagedCopies(const NamedFile& file, int count);

}  // namespace jpegtest
