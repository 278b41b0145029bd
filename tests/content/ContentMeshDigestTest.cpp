// What the mesh reader builds from every part file of the generated library, summed up per file and
// compared with a checked-in digest: the frames (names, order, transforms), the meshes of each frame
// with their vertex, normal and face counts and their first and last vertex, and the animation set.
// A change of the reader that alters any object of a library part shows here by file name.
// MARISOLE_UPDATE_GOLDEN=1 writes the digest from the reader as built.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "content/ContentFixture.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

class Fnv {
  public:
    void Add(const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) m_hash = (m_hash ^ p[i]) * 0x100000001b3ull;
    }
    void Add(const std::string& s) { Add(s.data(), s.size() + 1); }
    void Add(float v) { Add(&v, sizeof v); }
    void Add(std::uint32_t v) { Add(&v, sizeof v); }
    void Add(const rm::Vector& v) {
        Add(v.x);
        Add(v.y);
        Add(v.z);
    }
    std::uint64_t Value() const { return m_hash; }

  private:
    std::uint64_t m_hash = 0xcbf29ce484222325ull;
};

// One line per part file: name, frames, meshes, faces, vertices and the hash of all details.
std::string DigestLine(const std::string& name, const content::LoadedPart& part) {
    Fnv hash;
    std::size_t frames = 0, meshes = 0, faces = 0, vertices = 0;
    for (rm::Frame* frame : content::AllFrames(part.root.Get())) {
        ++frames;
        hash.Add(frame->GetName());
        hash.Add(static_cast<std::uint32_t>(frame->GetChildren().GetSize()));
        rm::Matrix4 m;
        frame->GetTransform(&m);
        for (const auto& row : m.m)
            for (float v : row) hash.Add(v);
        const auto visuals = content::MeshesOf(frame);
        hash.Add(static_cast<std::uint32_t>(visuals.size()));
        for (const auto& mesh : visuals) {
            ++meshes;
            faces += mesh->GetFaceCount();
            vertices += mesh->GetVertexCount();
            hash.Add(mesh->GetVertexCount());
            hash.Add(mesh->GetNormalCount());
            hash.Add(mesh->GetFaceCount());
            hash.Add(static_cast<std::uint32_t>(mesh->TexCoords().size()));
            if (!mesh->Vertices().empty()) {
                hash.Add(mesh->Vertices().front());
                hash.Add(mesh->Vertices().back());
            }
        }
    }
    hash.Add(static_cast<std::uint32_t>(part.animated));
    char line[512];
    std::snprintf(line, sizeof line, "%s frames=%zu meshes=%zu faces=%zu vertices=%zu animated=%d %016llx",
                  name.c_str(), frames, meshes, faces, vertices, part.animated ? 1 : 0,
                  static_cast<unsigned long long>(hash.Value()));
    return line;
}

bool EndsWithX(const std::string& s) { return s.size() > 2 && s.compare(s.size() - 2, 2, ".X") == 0; }

TEST(ContentMeshDigest, EveryPartFileBuildsTheObjectsOfTheDigest) {
    win::ScopedPrompts prompts;
    content::Library lib;
    auto rm = rm::Library::Create();
    std::map<std::string, std::string> actual;
    for (const auto& name : lib.Names()) {
        if (!EndsWithX(name)) continue;
        const auto part = content::LoadPart(lib, *rm, name);
        ASSERT_TRUE(part) << name;
        actual[name] = DigestLine(name, *part);
    }
    ASSERT_GT(actual.size(), 100u);

    const std::string path = MARISOLE_MESH_DIGEST;
    if (const char* update = std::getenv("MARISOLE_UPDATE_GOLDEN"); update && std::strcmp(update, "1") == 0) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const auto& [name, line] : actual) out << line << "\n";
        ASSERT_TRUE(out.good()) << path;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing digest " << path;
    std::map<std::string, std::string> expected;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) expected[line.substr(0, line.find(' '))] = line;
    for (const auto& [name, line] : expected) {
        const auto it = actual.find(name);
        ASSERT_NE(it, actual.end()) << "no longer in the library: " << name;
        EXPECT_EQ(it->second, line);
    }
    EXPECT_EQ(actual.size(), expected.size()) << "the library holds part files the digest does not know";
}

}  // namespace
