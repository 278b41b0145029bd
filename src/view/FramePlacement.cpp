#include "view/FramePlacement.h"

FramePlacement FramePlacement::Of(const rm::Frame& frame) {
    FramePlacement p{};
    frame.GetPosition(nullptr, &p.position);
    frame.GetOrientation(nullptr, &p.direction, &p.up);
    return p;
}

void FramePlacement::ApplyTo(rm::Frame& frame) const {
    frame.SetPosition(nullptr, position.x, position.y, position.z);
    frame.SetOrientation(nullptr, direction.x, direction.y, direction.z, up.x, up.y, up.z);
}

std::unique_ptr<FramePlacementRecord> FramePlacementRecord::Capture(rm::Library& library, const rm::Frame& frame) {
    if (frame.GetName().empty()) return nullptr;
    return std::unique_ptr<FramePlacementRecord>(
        new FramePlacementRecord(library, frame.GetName(), FramePlacement::Of(frame)));
}

rm::Ref<rm::Frame> FramePlacementRecord::FindFrame() const {
    return rm::RefCast<rm::Frame>(m_library->GetNamedObject(m_frameName));
}

std::unique_ptr<UndoRecord> FramePlacementRecord::CaptureCurrent() const {
    const rm::Ref<rm::Frame> frame = FindFrame();
    if (!frame) return nullptr;
    return Capture(*m_library, *frame);
}

bool FramePlacementRecord::Apply() const {
    const rm::Ref<rm::Frame> frame = FindFrame();
    if (!frame) return false;
    m_placement.ApplyTo(*frame);
    return true;
}
