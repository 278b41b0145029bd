// The part record of scene files: the part, its colour records and, nested, its child parts.

#include "base/ArchiveStream.h"
#include "scene/FrameNames.h"
#include "scene/MainDoc.h"
#include "scene/PartIndexTable.h"
#include "scene/PartObject.h"
#include "scene/SceneFile.h"

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

void CPartObject::Serialize(StoringArchive& ar, CPartIndexTable& table) {
    m_serialIndex = table.Take(this);
    ar.WriteU32(kSerialId);
    ar.WriteI32(m_serialIndex);
    ar.WriteI32(m_parent ? m_parent->m_serialIndex : -1);
    ar.WriteString(m_folder);
    ar.WriteString(m_definitionPath);
    ar.WriteString(m_linkName);
    ar.WriteString(ParentFrameName(m_frame.Get()));
    rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
    if (m_frame) {
        m_frame->GetPosition(nullptr, &position);
        m_frame->GetOrientation(nullptr, &direction, &up);
    }
    for (const rm::Vector& v : {position, direction, up}) {
        ar.WriteF32(v.x);
        ar.WriteF32(v.y);
        ar.WriteF32(v.z);
    }
    for (float f : m_box) ar.WriteF32(f);
    ar.WriteString(m_parent ? m_parent->m_definitionPath : std::string("(null)"));
    ar.WriteI32(static_cast<std::int32_t>(m_colors.size()));
    for (const auto& color : m_colors) color->Serialize(ar);
    ar.WriteI32(static_cast<std::int32_t>(m_children.size()));
    for (const auto& child : m_children) child->Serialize(ar, table);
}

bool CPartObject::Serialize(LoadingArchive& ar, CMainDoc& doc, int depth) {
    CPartIndexTable& table = CPartIndexTable::Instance();
    m_serialIndex = table.Take(this);
    if (m_serialIndex < 0) return false;  // more records than the file announced
    if (ar.ReadU32() != kSerialId || !ar.Ok()) {
        CPartIndexTable::CountError();
        return false;
    }
    ar.ReadI32();  // the index as written: the table reproduces it
    const std::int32_t parentIndex = ar.ReadI32();
    // A record nests in its parent's record: its parent index names the enclosing part (or -1 at
    // the top level); anything else is a file that cannot be trusted.
    if (parentIndex != (m_parent ? m_parent->m_serialIndex : -1)) return false;
    m_folder = ar.ReadString();
    m_definitionPath = ar.ReadString();
    m_linkName = ar.ReadString();
    const std::string parentFrameName = ar.ReadString();
    float placement[9];
    for (float& f : placement) f = ar.ReadF32();
    for (float& f : m_box) f = ar.ReadF32();
    ar.ReadString();  // parent definition path: not used
    const std::int32_t colorCount = ar.ReadI32();
    if (!ar.Ok() || colorCount < 0 ||
        static_cast<std::size_t>(colorCount) > ar.Remaining() / scene::kMinColorRecordSize)
        return false;
    for (std::int32_t i = 0; i < colorCount; ++i) {
        auto color = std::make_unique<CColorObject>();
        if (!color->Serialize(ar, table) || color->m_owner != this) return false;
        m_colors.push_back(std::move(color));
    }

    doc.RestorePart(m_definitionPath, this);
    if (m_frame)
        if (rm::Ref<rm::Frame> target = FindFrameByName(parentFrameName, doc.GetRootFrame())) {
            m_lastResult = target->AddChild(m_frame.Get());
            m_frame->SetPosition(target.Get(), placement[0], placement[1], placement[2]);
            m_frame->SetOrientation(target.Get(), placement[3], placement[4], placement[5], placement[6],
                                    placement[7], placement[8]);
        }

    const std::int32_t childCount = ar.ReadI32();
    if (!ar.Ok() || childCount < 0 ||
        static_cast<std::size_t>(childCount) > ar.Remaining() / scene::kMinPartRecordSize)
        return false;
    if (childCount > 0 && depth + 1 > scene::kMaxPartDepth) return false;
    for (std::int32_t i = 0; i < childCount; ++i) {
        auto child = std::make_unique<CPartObject>();
        CPartObject* raw = child.get();
        AddChildPart(std::move(child));
        if (!raw->Serialize(ar, doc, depth + 1)) return false;
    }
    return ar.Ok();
}
