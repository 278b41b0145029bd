// Writes the starting corpus of jpeg_fuzz: small files of libjpeg-turbo in every sampling, with
// and without restart markers, and hand-built ones with unusual sampling factors and 16-bit tables.
#include <cstdio>
#include <string>
#include <vector>

#include "JpegBuilder.h"
#include "LibjpegReference.h"
#include "SeedFile.h"
#include "TestPictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: jpeg_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    int n = 0;
    const std::pair<int, int> samplings[] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}, {4, 1}};
    for (int components : {1, 3}) {
        for (auto [h, v] : samplings) {
            for (int restart : {0, 2}) {
                jpegtest::EncodeOptions o;
                o.components = components;
                o.lumaH = h;
                o.lumaV = v;
                o.restartInterval = restart;
                o.quality = 60 + 10 * restart;
                const int w = 13 + 8 * h, hgt = 9 + 8 * v;
                ++n;
                ok = fuzzseed::WriteSeed(folder + "/libjpeg" + std::to_string(n) + ".jpg",
                           jpegtest::LibjpegEncode(jpegtest::MakePicture(w, hgt, components, n), w, hgt, o)) &&
                     ok;
            }
        }
    }
    jpegtest::BuildPlan plan;
    plan.width = 19;
    plan.height = 11;
    plan.components = {{3, 1}, {1, 1}, {2, 1}};
    plan.restartInterval = 1;
    plan.wideQuant = true;
    plan.quant.fill(300);
    plan.block = [](int c, int bx, int by) {
        jpegtest::ZigzagBlock b = jpegtest::DcBlock(c - bx + by);
        b[5] = 3;
        b[40] = -2;
        return b;
    };
    ok = fuzzseed::WriteSeed(folder + "/built0.jpg", jpegtest::BuildJpeg(plan)) && ok;
    plan.components = {{1, 1}};
    plan.restartInterval = 0;
    ok = fuzzseed::WriteSeed(folder + "/built1.jpg", jpegtest::BuildJpeg(plan)) && ok;
    return ok ? 0 : 1;
}
