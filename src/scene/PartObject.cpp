#include "scene/PartObject.h"

#include <algorithm>

#include "base/Cp932.h"
#include "platform/win/UserPrompts.h"
#include "scene/FrameNames.h"
#include "scene/PartPaths.h"

namespace {

// Frames of the marker geometry that loaded parts carry for the edit view's own use; they never
// show their visuals.
constexpr const char* kMarkerFrames[] = {"HHH", "E",  "A", "FF",   "G",  "CC", "D",  "HH", "B",
                                         "AA",  "EE", "F", "PAPA", "I",  "K",  "H",  "BB", "C",
                                         "GG",  "KK", "L", "LL",   "II", "J",  "JJ", "DD"};

void PlaceAtOrigin(rm::Frame& frame, const rm::Frame* ref) {
    frame.SetPosition(ref, 0, 0, 0);
    frame.SetOrientation(ref, 0, 0, 1, 0, 1, 0);
}

void ShowTargetMissing(const std::string& linkName) {
    win::MessageBox(nullptr, cp932::ToUtf8(linkName), "ﾀｰｹﾞｯﾄが見つかりません");
}

void CollectLeaves(rm::Frame* frame, std::vector<rm::Ref<rm::Frame>>& leaves) {
    if (frame->Children().empty()) {
        leaves.emplace_back(frame);
        return;
    }
    for (const auto& child : frame->Children()) CollectLeaves(child.Get(), leaves);
}

}  // namespace

CPartObject::~CPartObject() {
    ShowVisuals();
    DeleteColorObjects();
    while (!m_children.empty()) {
        std::unique_ptr<CPartObject> child = std::move(m_children.front());
        m_children.erase(m_children.begin());
        child.reset();
    }
    if (m_frame)
        if (rm::Frame* parentFrame = m_frame->Parent()) parentFrame->DeleteChild(m_frame.Get());
    if (m_parent) {
        // The parent owns this part only through its children; when it still holds it there,
        // give up that ownership without deleting again.
        auto& siblings = m_parent->m_children;
        auto it =
            std::find_if(siblings.begin(), siblings.end(), [this](const auto& p) { return p.get() == this; });
        if (it != siblings.end()) {
            it->release();
            siblings.erase(it);
        }
        m_parent = nullptr;
    }
    m_linkFrames.clear();
    m_frame = nullptr;
}

bool CPartObject::IsLinkFrameName(const std::string& name) const {
    for (const auto& link : m_linkFrames)
        if (cp932::EqualsNoCase(link->GetName(), name)) return true;
    return false;
}

void CPartObject::HideBelow(rm::Frame* frame) {
    const std::vector<rm::Ref<rm::Visual>> visuals = frame->Visuals();
    for (const auto& visual : visuals) {
        m_hiddenFrames.emplace_back(frame);
        m_hiddenVisuals.push_back(visual);
        frame->DeleteVisual(visual.Get());
    }
    if (IsLinkFrameName(frame->GetName())) return;
    for (const auto& child : frame->Children()) HideBelow(child.Get());
}

void CPartObject::HideVisuals() {
    if (m_frame) HideBelow(m_frame.Get());
}

void CPartObject::ShowVisuals() {
    for (std::size_t i = 0; i < m_hiddenFrames.size(); ++i)
        m_hiddenFrames[i]->AddVisual(m_hiddenVisuals[i].Get());
    m_hiddenFrames.clear();
    m_hiddenVisuals.clear();
}

void CPartObject::AdoptFrame(rm::Ref<rm::Frame> frame) {
    if (!frame) return;
    rm::Box box;
    frame->GetHierarchyBox(&box);
    m_box = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};

    std::vector<rm::Ref<rm::Frame>> leaves;
    CollectLeaves(frame.Get(), leaves);

    for (const auto& link : m_linkFrames) {
        if (link->Children().empty()) continue;
        rm::Ref<rm::Frame> found = FindFrameByName(link->GetName(), frame.Get());
        if (!found) {
            win::MessageBox(
                nullptr,
                "管理不能オブジェクトが発生しました。\nパーツアタッチの際、親を失う子パーツが存在します。",
                "内部情報に矛盾");
            continue;
        }
        // A child part keeps its placement on the link frame: what a swap replaces is the mesh,
        // not the pose of the parts hanging on it.
        const std::vector<rm::Ref<rm::Frame>> children = link->Children();
        for (const auto& child : children) found->AddChild(child.Get());
    }
    m_linkFrames = std::move(leaves);

    if (m_frame && m_frame != frame)
        if (rm::Frame* parentFrame = m_frame->Parent()) parentFrame->DeleteChild(m_frame.Get());
    m_frame = std::move(frame);
}

void CPartObject::AttachToParent(rm::Ref<rm::Frame> frame, CPartObject* parent, const std::string& linkName,
                                 const std::string& path) {
    m_folder = scene::FolderOf(path);
    m_definitionPath = path;
    AdoptFrame(frame);
    m_linkName = linkName;
    m_parent = parent;
    if (parent && m_frame) HangOnLinkFrame(*m_frame);
}

void CPartObject::HangOnLinkFrame(rm::Frame& frame) {
    rm::Ref<rm::Frame> target = FindFrameByName(m_linkName, m_parent->GetFrame());
    if (target)
        m_lastResult = target->AddChild(&frame);
    else
        ShowTargetMissing(m_linkName);
    PlaceAtOrigin(frame, target.Get());
}

void CPartObject::ReattachFrame(rm::Ref<rm::Frame> frame, const std::string& path, rm::Frame* characterRoot) {
    m_folder = scene::FolderOf(path);
    m_definitionPath = path;
    if (frame) {
        if (m_parent) {
            HangOnLinkFrame(*frame);
        } else if (characterRoot) {
            m_lastResult = characterRoot->AddChild(frame.Get());
            PlaceAtOrigin(*frame, characterRoot);
        }
        // The new mesh takes the pose of the one it replaces (a turned head stays turned).
        if (m_frame && frame->Parent()) {
            rm::Vector position, direction, up;
            m_frame->GetPosition(nullptr, &position);
            m_frame->GetOrientation(nullptr, &direction, &up);
            frame->SetPosition(nullptr, position.x, position.y, position.z);
            frame->SetOrientation(nullptr, direction.x, direction.y, direction.z, up.x, up.y, up.z);
        }
    }
    AdoptFrame(std::move(frame));
}

void CPartObject::PruneColorObjects(rm::Frame* frame) {
    std::erase_if(m_colors,
                  [frame](const auto& color) { return !FindFrameByName(color->m_targetFrame, frame); });
    for (const char* marker : kMarkerFrames) {
        rm::Ref<rm::Frame> found = FindFrameByName(marker, frame);
        if (!found) continue;
        const std::vector<rm::Ref<rm::Visual>> visuals = found->Visuals();
        for (const auto& visual : visuals) found->DeleteVisual(visual.Get());
    }
}

void CPartObject::AddChildPart(std::unique_ptr<CPartObject> child) {
    child->m_parent = this;
    m_children.push_back(std::move(child));
}

void CPartObject::InsertChildPart(std::unique_ptr<CPartObject> child, std::size_t at) {
    child->m_parent = this;
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(std::min(at, m_children.size())),
                      std::move(child));
}

std::unique_ptr<CPartObject> CPartObject::RemoveChildPart(CPartObject* child) {
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [child](const auto& p) { return p.get() == child; });
    if (it == m_children.end()) return nullptr;
    std::unique_ptr<CPartObject> out = std::move(*it);
    m_children.erase(it);
    out->m_parent = nullptr;
    return out;
}

void CPartObject::AddColorObject(std::unique_ptr<CColorObject> color) {
    color->m_owner = this;
    m_colors.push_back(std::move(color));
}

void CPartObject::SetColorObjects(std::vector<std::unique_ptr<CColorObject>> colors) {
    m_colors = std::move(colors);
    for (auto& color : m_colors) color->m_owner = this;
}
