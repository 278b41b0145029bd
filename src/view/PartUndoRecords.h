#pragma once
// Undo records of whole parts and figures: a part deleted (or brought back), a part's mesh swapped,
// a figure added, removed or given another pose set. Each finds what it acts on again by frame name
// (a figure by its number) when applied, as placement records do; bringing a part or a figure back
// gives it its old names, so the records of later steps find it too.

#include <memory>
#include <optional>
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

// A figure of the scene, present (the snapshot brings it back, in place of any figure of its
// number) or absent (applying takes the figure of that number out).
class FigureRecord final : public UndoRecord {
  public:
    static std::unique_ptr<FigureRecord> Present(scene::FigureSnapshot snapshot);
    static std::unique_ptr<FigureRecord> Absent(int number);

    std::unique_ptr<UndoRecord> CaptureCurrent() const override;
    bool Apply() const override;

  private:
    FigureRecord() = default;
    int m_number = 1;
    std::optional<scene::FigureSnapshot> m_snapshot;  // present: the figure to bring back
};
