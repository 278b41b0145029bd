// The part record of scene files: the part, its colour records and, nested, its child parts.
// Reading the records is SceneRecords.cpp; building parts from them, CMainDoc::BuildPart.

#include <algorithm>

#include "base/ArchiveStream.h"
#include "scene/PartIndexTable.h"
#include "scene/PartObject.h"

namespace {

// The name of the frame that holds `frame`, read as the scene library reports it through an
// 80-byte buffer; a name that does not fit is stored whole (frame names stay far below it).
std::string ParentFrameName(const rm::Frame* frame) {
    if (!frame || !frame->Parent()) return {};
    char buffer[80];
    std::uint32_t size = sizeof buffer;
    if (rm::Succeeded(frame->Parent()->GetName(&size, buffer))) return buffer;
    return frame->Parent()->GetName();
}

}  // namespace

scene::PartRecord CPartObject::ToRecord(CPartIndexTable& table) {
    scene::PartRecord r;
    m_serialIndex = table.Take(this);
    r.index = m_serialIndex;
    r.parentIndex = m_parent ? m_parent->m_serialIndex : -1;
    r.folder = m_folder;
    r.definitionPath = m_definitionPath;
    r.linkName = m_linkName;
    r.parentFrameName = ParentFrameName(m_frame.Get());
    rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
    if (m_frame) {
        m_frame->GetPosition(nullptr, &position);
        m_frame->GetOrientation(nullptr, &direction, &up);
    }
    r.placement = {position.x, position.y, position.z, direction.x, direction.y, direction.z, up.x, up.y, up.z};
    std::copy(m_box.begin(), m_box.end(), r.box.begin());
    r.parentDefinitionPath = m_parent ? m_parent->m_definitionPath : std::string("(null)");
    for (const auto& color : m_colors) r.colors.push_back(color->ToRecord());
    for (const auto& child : m_children) r.children.push_back(child->ToRecord(table));
    return r;
}

void CPartObject::Serialize(StoringArchive& ar, CPartIndexTable& table) { scene::WritePartRecord(ar, ToRecord(table)); }

void CPartObject::TakeRecord(const scene::PartRecord& r) {
    m_serialIndex = r.index;
    m_folder = r.folder;
    m_definitionPath = r.definitionPath;
    m_linkName = r.linkName;
    std::copy(r.box.begin(), r.box.end(), m_box.begin());
    m_colors.clear();
    for (const scene::ColorRecord& color : r.colors) m_colors.push_back(CColorObject::FromRecord(color, this));
}
