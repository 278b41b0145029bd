#include "ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/ArchiveBuilder.h"
#include "archive/ArchiveContext.h"

namespace fixture {

Bytes B(const std::string& text) {
    return {text.begin(), text.end()};
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32At(const Bytes& b, std::size_t o) {
    return b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (std::uint32_t{b[o + 3]} << 24);
}

void PutU32(Bytes& b, std::size_t o, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[o + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TempTree::TempTree() {
    EXPECT_TRUE(m_dir.isValid());
    m_root = m_dir.path().toStdString() + "/";
}

bool BuildVolume(const std::string& sourceFolder, const std::string& folder, const std::string& stem) {
    NullProgress progress;
    CArchiveBuilder builder(progress);
    return builder.Build(sourceFolder, kCompressionFilter, VolumeFileFor(folder, stem),
                         IndexFileFor(folder, stem)) == BuildResult::Built;
}

}  // namespace fixture
