#pragma once
// Undo records of whole parts: a part deleted (or brought back), and a part's mesh swapped. Each
// finds what it acts on again by frame name when applied, as placement records do; bringing a
// part back gives it its old names, so the records of later steps find it too.

#include <memory>
#include <string>

#include "scene/PartSnapshot.h"
#include "view/UndoHistory.h"

// A part with the parts below it, present (the snapshot brings it back) or absent (applying takes
// the part whose frame has the name out again).
class PartPresenceRecord final : public UndoRecord {
  public:
    static std::unique_ptr<PartPresenceRecord> Present(scene::PartSnapshot snapshot);
    static std::unique_ptr<PartPresenceRecord> Absent(std::string frameName);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;

  private:
    PartPresenceRecord() = default;
    bool m_present = false;
    scene::PartSnapshot m_snapshot;  // present: the part to bring back
    std::string m_frameName;         // absent: the part to take out
};

// The mesh a part had before a swap: applying finds the part by the frame name it has after the
// swap and puts the old mesh, frame name and placement back.
class PartMeshRecord final : public UndoRecord {
  public:
    PartMeshRecord(std::string frameNow, scene::PartMesh mesh)
        : m_frameNow(std::move(frameNow)), m_mesh(std::move(mesh)) {}

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;
    bool IsAboutFrame(std::string_view frameName) const override { return frameName == m_frameNow; }

  private:
    std::string m_frameNow;
    scene::PartMesh m_mesh;
};
