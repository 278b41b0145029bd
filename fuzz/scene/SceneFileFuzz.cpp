// libFuzzer harness of the scene file reader: any bytes are opened as a scene file of a document
// whose archive holds a tiny figure (SceneFuzzWorld), so that records that name its meshes really
// load, link and take colours. Nothing may read or write out of bounds or leak; a scene that opens
// (or the empty scene a damaged file leaves) saves to bytes that open again and save to the same
// bytes, but for rounding in the placements' numbers (a part's axes are made orthonormal again when
// they are set, which moves their last bits: a component of 9e-8 comes back as -1e-14), and the
// reopened document holds the same parts. The document and the settings are reset after every input.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "SceneFuzzWorld.h"
#include "scene/FrameNames.h"
#include "scene/PartObject.h"
#include "scene/SceneFile.h"

namespace {

// Opens `bytes` into the document; false when the header is refused (the document untouched). The
// frames of loaded meshes are numbered from the same start on every open (the numbers, "@0001",
// come from a counter of the whole process and are saved with the link frames' names).
bool Open(CMainDoc& doc, std::span<const std::uint8_t> bytes, bool& bodyRead) {
    scene::SetFrameNameCounter(0);
    scene::SceneContent content;
    const scene::SceneFileStatus status = CSceneFile::Read(bytes, content);
    if (status != scene::SceneFileStatus::Ok && status != scene::SceneFileStatus::Damaged) return false;
    doc.ResetScene();
    bodyRead = status == scene::SceneFileStatus::Ok;
    if (bodyRead) CSceneFile::Build(doc, content);
    return true;
}

// The float at `at` of `bytes`, when four bytes are there.
bool FloatAt(const std::vector<std::uint8_t>& bytes, std::size_t at, float& value) {
    if (at + 4 > bytes.size()) return false;
    std::memcpy(&value, bytes.data() + at, 4);
    return true;
}

// True when a and b are the same number up to rounding: within 1e-5 of each other, relative to
// their size when that is above 1 (a rounding near zero may leave a subnormal).
bool SameUpToRounding(float a, float b) {
    return std::isfinite(a) && std::isfinite(b) &&
           std::fabs(a - b) <= 1e-5f * std::max({1.0f, std::fabs(a), std::fabs(b)});
}

// True when the two saves have the same length and every byte that differs lies in four bytes that
// read as the same number up to rounding in both.
bool SameSave(const std::vector<std::uint8_t>& first, const std::vector<std::uint8_t>& second) {
    if (first.size() != second.size()) return false;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i] == second[i]) continue;
        bool matched = false;
        for (std::size_t back = 0; back < 4 && back <= i && !matched; ++back) {
            float a = 0, b = 0;
            const std::size_t at = i - back;
            if (FloatAt(first, at, a) && FloatAt(second, at, b) && SameUpToRounding(a, b)) {
                matched = true;
                i = at + 3;
            }
        }
        if (!matched) return false;
    }
    return true;
}

// What the document holds apart from the placements' numbers: per part, in order, its folder,
// definition, link, visibility and colour count. It must come back alike, as small integers in
// the saves could pass for floats close to zero.
std::vector<std::string> Summary(const CMainDoc& doc) {
    std::vector<std::string> lines;
    for (const CPartObject* part : doc.AllParts())
        lines.push_back(part->m_folder + "|" + part->m_definitionPath + "|" + part->GetLinkName() + "|" +
                        (part->IsVisible() ? "shown|" : "hidden|") + std::to_string(part->ColorObjects().size()));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static scenefuzz::World world;
    CMainDoc& doc = *world.doc;
    world.RestoreSettings();
    bool bodyRead = false;
    if (Open(doc, std::span(data, size), bodyRead)) {
        const std::vector<std::uint8_t> first = CSceneFile::Write(doc);
        const std::vector<std::string> opened = Summary(doc);
        if (!Open(doc, first, bodyRead) || !bodyRead || Summary(doc) != opened) std::abort();
        if (!SameSave(first, CSceneFile::Write(doc))) std::abort();
    }
    world.RestoreSettings();
    doc.OnNewDocument();
    return 0;
}
