#include "PictureCorpus.h"

#include <algorithm>
#include <random>
#include <string>

#include "JpegBuilder.h"
#include "LibjpegReference.h"
#include "TestPictures.h"

namespace jpegtest {
namespace {

std::string SizeName(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

struct Sampling {
    const char* name;
    int components, lumaH, lumaV;
};

constexpr Sampling kSamplings[] = {
    {"grey", 1, 1, 1},  {"grey 2x2", 1, 2, 2}, {"4:4:4", 3, 1, 1}, {"4:2:2", 3, 2, 1},
    {"4:2:0", 3, 2, 2}, {"4:4:0", 3, 1, 2},    {"4:1:1", 3, 4, 1},
};

ZigzagBlock SomeBlock(int c, int bx, int by, int scale) {
    std::mt19937 random(static_cast<std::uint32_t>(c * 7919 + bx * 131 + by * 17 + scale));
    std::uniform_int_distribution<int> value(-scale, scale), pos(1, 63);
    ZigzagBlock b{};
    b[0] = value(random) * 4;
    for (int i = 0; i < 5 + (bx + by) % 9; ++i) b[pos(random)] = value(random);
    return b;
}

std::vector<NamedFile> BuiltFiles() {
    std::vector<NamedFile> files;
    struct Plan {
        const char* name;
        std::vector<BuilderComponent> components;
        int width, height, restart;
        std::uint16_t quant;
        bool wide;
        int scale;
    } plans[] = {
        {"built grey", {{1, 1}}, 23, 17, 0, 2, false, 60},
        {"built 4:2:0 restart 1", {{2, 2}, {1, 1}, {1, 1}}, 37, 29, 1, 3, false, 60},
        {"built 3x1 2x1 1x1", {{3, 1}, {2, 1}, {1, 1}}, 53, 12, 0, 2, false, 60},
        {"built 1x1 2x2 1x1", {{1, 1}, {2, 2}, {1, 1}}, 30, 30, 2, 1, false, 60},
        {"built 1x4 luma", {{1, 4}, {1, 1}, {1, 1}}, 19, 41, 0, 2, false, 60},
        {"built 4x2 luma", {{4, 2}, {1, 1}, {1, 1}}, 45, 20, 3, 2, false, 60},
        {"built 2x2 chroma 2x1", {{2, 2}, {2, 1}, {2, 1}}, 40, 24, 0, 2, false, 60},
        {"built 16-bit table, coefficients beyond 16 bits",
         {{1, 1}, {1, 1}, {1, 1}},
         24,
         16,
         0,
         1000,
         true,
         500},
        {"built 16-bit table, 4:2:0, huge coefficients",
         {{2, 2}, {1, 1}, {1, 1}},
         32,
         32,
         0,
         65535,
         true,
         1000},
        {"built 8-bit table, large values", {{1, 1}}, 16, 16, 0, 255, false, 1000},
    };
    {
        // DC 34000 and F(0, 4) = −34000, both beyond 16 bits: where C[4][x] = 362 they cancel exactly
        // and the samples are 128; narrowed to 16 bits they would not cancel (127).
        BuildPlan plan;
        plan.width = plan.height = 16;
        plan.quant.fill(34);
        plan.block = [](int, int, int) {
            ZigzagBlock b = DcBlock(1000);
            b[14] = -1000;  // zigzag index 14 is F(0, 4)
            return b;
        };
        files.push_back({"built, coefficients beyond 16 bits that cancel", BuildJpeg(plan)});
    }
    for (const Plan& p : plans) {
        BuildPlan plan;
        plan.components = p.components;
        plan.width = p.width;
        plan.height = p.height;
        plan.restartInterval = p.restart;
        plan.quant.fill(p.quant);
        plan.wideQuant = p.wide;
        const int scale = p.scale;
        plan.block = [scale](int c, int bx, int by) { return SomeBlock(c, bx, by, scale); };
        files.push_back({p.name, BuildJpeg(plan)});
    }
    return files;
}

}  // namespace

std::vector<NamedFile> FuzzSeedFiles() {
    std::vector<NamedFile> files;
    int n = 0;
    const std::pair<int, int> samplings[] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}, {4, 1}};
    for (int components : {1, 3}) {
        for (auto [h, v] : samplings) {
            for (int restart : {0, 2}) {
                EncodeOptions o;
                o.components = components;
                o.lumaH = h;
                o.lumaV = v;
                o.restartInterval = restart;
                o.quality = 60 + 10 * restart;
                const int w = 13 + 8 * h, hgt = 9 + 8 * v;
                ++n;
                files.push_back({"libjpeg" + std::to_string(n) + ".jpg",
                                 LibjpegEncode(MakePicture(w, hgt, components, n), w, hgt, o)});
            }
        }
    }
    BuildPlan plan;
    plan.width = 19;
    plan.height = 11;
    plan.components = {{3, 1}, {1, 1}, {2, 1}};
    plan.restartInterval = 1;
    plan.wideQuant = true;
    plan.quant.fill(300);
    plan.block = [](int c, int bx, int by) {
        ZigzagBlock b = DcBlock(c - bx + by);
        b[5] = 3;
        b[40] = -2;
        return b;
    };
    files.push_back({"built0.jpg", BuildJpeg(plan)});
    plan.components = {{1, 1}};
    plan.restartInterval = 0;
    files.push_back({"built1.jpg", BuildJpeg(plan)});
    return files;
}

std::vector<std::uint8_t> BenchmarkPicture(int width, int height, bool subsampled) {
    EncodeOptions options;
    options.quality = 90;
    options.lumaH = options.lumaV = subsampled ? 2 : 1;
    return LibjpegEncode(MakePicture(width, height, 3, 11), width, height, options);
}

std::vector<NamedFile> AllTestPictures() {
    std::vector<NamedFile> files;
    const std::pair<int, int> sizes[] = {{64, 64}, {97, 53}, {17, 23}, {33, 71}, {8, 8}, {1, 1}, {250, 3}};
    std::uint32_t seed = 1;
    for (const Sampling& s : kSamplings) {
        for (auto [width, height] : sizes) {
            for (int quality : {50, 90, 100}) {
                for (int restart : {0, 1, 3}) {
                    EncodeOptions o;
                    o.components = s.components;
                    o.lumaH = s.lumaH;
                    o.lumaV = s.lumaV;
                    o.quality = quality;
                    o.restartInterval = restart;
                    files.push_back(
                        {std::string(s.name) + " " + SizeName(width, height) + " quality " +
                             std::to_string(quality) + " restart " + std::to_string(restart),
                         LibjpegEncode(MakePicture(width, height, s.components, seed++), width, height, o)});
                }
            }
        }
    }
    for (NamedFile& f : BuiltFiles()) files.push_back(std::move(f));
    for (NamedFile& f : FuzzSeedFiles()) files.push_back({"fuzz seed " + f.name, std::move(f.bytes)});
    files.push_back({"benchmark 1600x1200 4:2:0", BenchmarkPicture(1600, 1200, true)});
    files.push_back({"benchmark 1600x1200 4:4:4", BenchmarkPicture(1600, 1200, false)});
    return files;
}

namespace {

// Offsets of the 16 code counts of every Huffman table in the file's DHT segments.
std::vector<std::size_t> HuffmanCountOffsets(const std::vector<std::uint8_t>& file) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i + 4 < file.size(); ++i) {
        if (file[i] != 0xFF || file[i + 1] != 0xC4) continue;
        const std::size_t end = i + 2 + (std::size_t{file[i + 2]} << 8 | file[i + 3]);
        for (std::size_t table = i + 4; table + 17 <= end && end <= file.size();) {
            std::size_t symbols = 0;
            for (int k = 0; k < 16; ++k) symbols += file[table + 1 + k];
            offsets.push_back(table + 1);
            table += 17 + symbols;
        }
    }
    return offsets;
}

}  // namespace

std::vector<NamedFile> DamagedCopies(const NamedFile& file, int count) {
    std::vector<NamedFile> copies;
    const std::size_t scan = FindMarkerOffset(file.bytes, 0xDA);
    if (scan == std::string::npos || scan + 16 >= file.bytes.size()) return copies;
    const std::size_t first = scan + 14;  // within the entropy-coded data of every file here
    std::mt19937 random(static_cast<std::uint32_t>(file.bytes.size()));
    std::uniform_int_distribution<std::size_t> place(first, file.bytes.size() - 1);
    for (int i = 0; i < count; ++i) {
        NamedFile copy{file.name, file.bytes};
        const std::size_t at = place(random);
        switch (i % 5) {
            case 0:
                copy.bytes.resize(at);
                copy.name += " cut at " + std::to_string(at);
                break;
            case 1:
                copy.bytes[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
                copy.name += " byte " + std::to_string(at) + " changed";
                break;
            case 2:
                copy.bytes[at] = 0xFF;
                copy.name += " byte " + std::to_string(at) + " made FF";
                break;
            case 3:
                for (int j = 0; j < 4; ++j) copy.bytes[place(random)] = static_cast<std::uint8_t>(random());
                copy.name += " four bytes changed near " + std::to_string(at);
                break;
            default: {
                // One code of a table moves to another length: the same symbols, but codes that
                // overflow their length or leave codes unused, which the header walk accepts.
                const auto tables = HuffmanCountOffsets(copy.bytes);
                if (tables.empty()) break;
                const std::size_t counts = tables[random() % tables.size()];
                const std::size_t from = counts + random() % 16, to = counts + random() % 16;
                if (copy.bytes[from] == 0 || copy.bytes[to] == 0xFF) break;
                --copy.bytes[from];
                ++copy.bytes[to];
                copy.name += " a code moved from length " + std::to_string(from - counts + 1) + " to " +
                             std::to_string(to - counts + 1);
                break;
            }
        }
        copies.push_back(std::move(copy));
    }
    return copies;
}

}  // namespace jpegtest
