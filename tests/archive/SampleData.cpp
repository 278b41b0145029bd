#include "SampleData.h"

#include <cstdio>
#include <string>

namespace sample {

namespace {

class XorShift {
  public:
    explicit XorShift(std::uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

  private:
    std::uint32_t m_state;
};

}  // namespace

std::vector<std::uint8_t> MeshText(std::size_t size, std::uint32_t seed) {
    XorShift rng(seed);
    std::string text;
    int frame = 0;
    char line[128];
    while (text.size() < size) {
        std::snprintf(
            line, sizeof line,
            "Frame FRM-PART%03d {\n FrameTransformMatrix {\n  1.000000,0.000000,0.000000,0.000000,\n",
            frame++);
        text += line;
        text += "  0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000;;\n }\n Mesh {\n";
        const int vertices = 40 + static_cast<int>(rng.Next() % 60);
        std::snprintf(line, sizeof line, "  %d;\n", vertices);
        text += line;
        for (int v = 0; v < vertices; ++v) {
            const auto coord = [&] { return (static_cast<int>(rng.Next() % 200001) - 100000) / 10000.0; };
            std::snprintf(line, sizeof line, "  %.6f;%.6f;%.6f;%s\n", coord(), coord(), coord(),
                          v + 1 < vertices ? "," : ";");
            text += line;
        }
        std::snprintf(line, sizeof line, "  %d;\n", vertices - 2);
        text += line;
        for (int f = 0; f + 2 < vertices; ++f) {
            std::snprintf(line, sizeof line, "  3;%d,%d,%d;%s\n", f, f + 1, f + 2,
                          f + 3 < vertices ? "," : ";");
            text += line;
        }
        text +=
            "  MeshMaterialList {\n   1;\n   1;\n   0;;\n   Material {\n    "
            "0.800000;0.640000;0.560000;1.000000;;\n";
        text +=
            "    5.000000;\n    0.000000;0.000000;0.000000;;\n    0.000000;0.000000;0.000000;;\n   }\n  }\n "
            "}\n}\n";
    }
    text.resize(size);
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
    XorShift rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng.Next() >> 24);
    return bytes;
}

}  // namespace sample
