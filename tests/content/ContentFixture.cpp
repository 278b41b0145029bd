#include "content/ContentFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "archive/ArchiveContext.h"
#include "base/ArchiveStream.h"
#include "xfile/XFileReader.h"

namespace content {

std::string BinFolder() {
    return MARISOLE_CONTENT_DIR;
}

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The name table of an index: 124-byte header, then a counted list of counted strings.
std::vector<std::string> IndexNames(const std::string& path) {
    const std::string bytes = FileBytes(path);
    std::vector<std::string> names;
    if (bytes.size() < 124) return names;
    LoadingArchive in(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 124,
                                                    bytes.size() - 124));
    const std::uint32_t count = in.ReadCount();
    for (std::uint32_t i = 0; i < count && in.Ok(); ++i) names.push_back(in.ReadString());
    if (!in.Ok()) names.clear();
    return names;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string StripVariants(const std::string& folder) {
    std::string out;
    bool skipping = false;
    for (char c : folder) {
        if (c == '\\')
            skipping = false;
        else if (c == '_')
            skipping = true;
        if (!skipping) out.push_back(c);
    }
    return Upper(out);
}

std::string NormalFrameName(std::string name) {
    if (const auto at = name.find('@'); at != std::string::npos) name.erase(at);
    if (name.rfind("X3DS_", 0) == 0) name.erase(0, 5);
    if (name.rfind("FRM-", 0) == 0) name.erase(0, 4);
    return Upper(name);
}

}  // namespace

Library::Library() {
    const std::string bin = BinFolder();
    std::ifstream drive(bin + "drive.dat");
    std::string fallbacks;
    std::getline(drive, fallbacks);
    while (!fallbacks.empty() && (fallbacks.back() == '\r' || fallbacks.back() == '\n')) fallbacks.pop_back();
    ArchiveContext context;
    context.appFolder = bin;
    m_archive.Open(VolumeListFor(bin), fallbacks, kCompressionFilter, context);
    for (const char* index : {"disk1.VDH", "disk2.VDH"})
        for (auto& n : IndexNames(bin + index)) m_names.push_back(std::move(n));
}

Library::~Library() {
    m_archive.Close();
}

std::optional<std::string> Library::Read(const std::string& name) {
    std::size_t length = 0;
    const char* bytes = m_archive.Read(name, length);
    if (!bytes) return std::nullopt;
    return std::string(bytes, length);
}

std::string Library::Text(const std::string& name) {
    auto text = Read(name);
    if (!text) ADD_FAILURE() << name << " is not in the archive";
    return text.value_or(std::string());
}

std::vector<std::string> Tokens(const std::string& text, const std::string& separators,
                                std::size_t minLength) {
    std::vector<std::string> out;
    std::string current;
    auto flush = [&] {
        if (const auto c = current.find("//"); c != std::string::npos) current.erase(c);
        if (current.size() > minLength) out.push_back(current);
        current.clear();
    };
    for (char c : text) {
        if (separators.find(c) != std::string::npos)
            flush();
        else
            current.push_back(c);
    }
    flush();
    return out;
}

std::vector<std::string> Fields(const std::string& token) {
    std::vector<std::string> f(1);
    for (char c : token) {
        if (c == '|')
            f.emplace_back();
        else
            f.back().push_back(c);
    }
    return f;
}

std::vector<ListEntry> ParseList(const std::string& folder, const std::string& text) {
    std::vector<ListEntry> out;
    for (const auto& line : Tokens(text, "\r\n", 0)) {
        std::vector<std::string> f;
        for (auto& field : Fields(line))
            if (!field.empty()) f.push_back(field);
        if (f.size() >= 3) out.push_back({folder + f[0], folder + f[1], f[2]});
    }
    return out;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string LinkNameOf(const std::string& path) {
    std::string folder = FolderOf(path);
    if (folder.empty()) return {};
    folder.pop_back();
    const auto slash = folder.rfind('\\');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

std::string ParentFolderOf(const std::string& path) {
    std::string folder = FolderOf(path);
    if (folder.empty()) return {};
    folder.pop_back();
    const auto slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool SameFolder(const std::string& a, const std::string& b) {
    return StripVariants(a) == StripVariants(b);
}
bool SameFrameName(const std::string& a, const std::string& b) {
    return NormalFrameName(a) == NormalFrameName(b);
}

std::optional<LoadedPart> LoadPart(Library& library, rm::Library& rm, const std::string& path,
                                   bool atTime50) {
    auto text = library.Read(path);
    if (!text) return std::nullopt;
    LoadedPart part;
    {
        CXFileReader reader;
        if (!reader.Load(text->data(), text->size(), &rm, nullptr, &part.root)) return std::nullopt;
        if (auto* set = reader.GetAnimationSet()) {
            if (atTime50) set->SetTime(50.0f);
            part.animated = true;
        }
    }
    const auto children = part.root->GetChildren();
    if (children.GetSize() == 0) return std::nullopt;
    part.frame = children.GetElement(0);
    return part;
}

rm::Ref<rm::Frame> FindFrame(rm::Frame* start, const std::string& name) {
    if (!start) return {};
    if (SameFrameName(start->GetName(), name)) return rm::Ref<rm::Frame>(start);
    for (const auto& c : start->GetChildren())
        if (auto f = FindFrame(c.Get(), name)) return f;
    return {};
}

std::vector<rm::Frame*> AllFrames(rm::Frame* start) {
    std::vector<rm::Frame*> out{start};
    for (const auto& c : start->GetChildren())
        for (auto* f : AllFrames(c.Get())) out.push_back(f);
    return out;
}

std::vector<rm::Ref<rm::MeshBuilder>> MeshesOf(rm::Frame* frame) {
    std::vector<rm::Ref<rm::MeshBuilder>> out;
    for (const auto& v : frame->GetVisuals())
        if (auto m = rm::RefCast<rm::MeshBuilder>(v)) out.push_back(m);
    return out;
}

}  // namespace content
