#pragma once
// The placement of a named frame relative to its parent (position, direction and up) as an undo
// record. The frame is found again by its name when the record is applied, so a record never
// keeps a deleted frame alive and a frame that is gone is simply skipped.

#include <memory>
#include <string>

#include "platform/rm/Frame.h"
#include "platform/rm/Library.h"
#include "view/UndoHistory.h"

struct FramePlacement {
    rm::Vector position;
    rm::Vector direction;
    rm::Vector up;

    // The frame's placement relative to its parent.
    static FramePlacement Of(const rm::Frame& frame);
    void ApplyTo(rm::Frame& frame) const;
};

class FramePlacementRecord final : public UndoRecord {
  public:
    // Null for a frame without a name (nothing could find it again).
    static std::unique_ptr<FramePlacementRecord> Capture(rm::Library& library, const rm::Frame& frame);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;
    bool IsAboutFrame(std::string_view frameName) const override { return frameName == m_frameName; }

    const std::string& FrameName() const { return m_frameName; }
    const FramePlacement& Placement() const { return m_placement; }

  private:
    FramePlacementRecord(rm::Library& library, std::string name, const FramePlacement& placement)
        : m_library(&library), m_frameName(std::move(name)), m_placement(placement) {}
    rm::Ref<rm::Frame> FindFrame() const;

    rm::Ref<rm::Library> m_library;
    std::string m_frameName;
    FramePlacement m_placement;
};
