// Writes the starting corpus of jpeg_fuzz: small files of libjpeg-turbo in every sampling, with
// and without restart markers, and hand-built ones with unusual sampling factors and 16-bit tables
// (the list is shared with the tests, which decode it on every path).
#include <cstdio>
#include <string>

#include "PictureCorpus.h"
#include "SeedFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: jpeg_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const jpegtest::NamedFile& seed : jpegtest::FuzzSeedFiles())
        ok = fuzzseed::WriteSeed(folder + "/" + seed.name, seed.bytes) && ok;
    return ok ? 0 : 1;
}
