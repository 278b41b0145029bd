// Writes the starting corpora of the archive harnesses into the folder given:
//   archive_fuzz_seeds lzw FOLDER    streams of the LZW coder (empty, a byte, runs, text, every value)
//   archive_fuzz_seeds index FOLDER  index files of volumes the archive builder packs from small trees
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "SeedFile.h"
#include "archive/ArchiveBuilder.h"
#include "archive/LzwCoder.h"
#include "base/Progress.h"

namespace fs = std::filesystem;

namespace {

bool LzwSeeds(const std::string& folder) {
    std::vector<std::string> inputs = {"", "a", "abababcabcd", std::string(600, 'z'),
                                       "xof 0302txt 0064\nMesh {\n4;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n}\n"};
    std::string values;
    for (int i = 0; i < 1200; ++i) values += static_cast<char>(i * 7 + i / 256);
    inputs.push_back(values);
    bool ok = true;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::vector<std::uint8_t> packed;
        const std::string& in = inputs[i];
        ok = lzw::Compress(std::span(reinterpret_cast<const std::uint8_t*>(in.data()), in.size()), packed) &&
             fuzzseed::WriteSeed(folder + "/stream" + std::to_string(i) + ".lzw", packed) && ok;
    }
    return ok;
}

void Put(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    fuzzseed::WriteSeed(path.string(), text);
}

// Packs `tree` with the builder and keeps its index file as the seed `name`.
bool IndexSeed(const fs::path& tree, const std::string& folder, const std::string& name) {
    NullProgress progress;
    CArchiveBuilder builder(progress);
    const fs::path volume = tree.parent_path() / (name + ".vd");
    const fs::path index = fs::path(folder) / (name + ".vdh");
    if (builder.Build(tree.string() + "/", ".X;.TXT;", volume.string(), index.string()) != BuildResult::Built)
        return false;
    fs::remove(volume);
    return true;
}

bool IndexSeeds(const std::string& folder) {
    const fs::path work = fs::path(folder) / "tree";
    const std::string mesh = "xof 0302txt 0064\nFrame BODY {\nMesh {\n3;\n0;0;0;,\n1;0;0;,\n0;1;0;;\n1;\n3;0,1,2;;\n}\n}\n";
    Put(work / "one" / "note.bin", "not compressed");
    Put(work / "many" / "BODY" / "body.x", mesh + mesh);
    Put(work / "many" / "BODY" / "ARML" / "arm.x", mesh);
    Put(work / "many" / "POSE" / "P.tre", "BODY\\|body|\r\n");
    Put(work / "many" / "option.txt", "PROPS\\|props|ADD\r\n");
    Put(work / "many" / "PROP" / "picture.jpg", std::string(40, '\xFF'));
    const bool ok = IndexSeed(work / "one", folder, "one") && IndexSeed(work / "many", folder, "many");
    fs::remove_all(work);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind == "lzw") return LzwSeeds(argv[2]) ? 0 : 1;
    if (kind == "index") return IndexSeeds(argv[2]) ? 0 : 1;
    std::fprintf(stderr, "usage: archive_fuzz_seeds lzw|index FOLDER\n");
    return 2;
}
