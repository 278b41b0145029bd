// libFuzzer harness of the scene file reader: any bytes are opened as a scene file of a document
// whose archive holds a tiny figure (SceneFuzzWorld), so that records that name its meshes really
// load, link and take colours. Nothing may read or write out of bounds or leak; a scene that opens
// (or the empty scene a damaged file leaves) saves to bytes that open again and save to exactly the
// same bytes (axes once made orthonormal are kept bit for bit), and the reopened document holds the
// same parts. The document and the settings are reset after every input.

#include <cstdint>
#include <cstdlib>
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

// What the document holds: per part, in order, its folder, definition, link, visibility and colour
// count. It must come back alike too: the reader has to rebuild the parts, not only write the bytes.
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
        if (CSceneFile::Write(doc) != first) std::abort();
    }
    world.RestoreSettings();
    doc.OnNewDocument();
    return 0;
}
