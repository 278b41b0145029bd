#include "view/PartUndoRecords.h"

#include "core/MainApp.h"
#include "scene/MainDoc.h"

namespace {

CMainDoc* Document() { return GetApp()->m_pDocument; }

}  // namespace

std::unique_ptr<PartPresenceRecord> PartPresenceRecord::Present(scene::PartSnapshot snapshot) {
    auto record = std::unique_ptr<PartPresenceRecord>(new PartPresenceRecord);
    record->m_present = true;
    record->m_snapshot = std::move(snapshot);
    return record;
}

std::unique_ptr<PartPresenceRecord> PartPresenceRecord::Absent(std::string frameName) {
    auto record = std::unique_ptr<PartPresenceRecord>(new PartPresenceRecord);
    record->m_frameName = std::move(frameName);
    return record;
}

std::unique_ptr<UndoRecord> PartPresenceRecord::CaptureCurrent() const {
    if (m_present)
        return m_snapshot.frameNames.empty() || m_snapshot.frameNames.front().empty()
                   ? nullptr
                   : Absent(m_snapshot.frameNames.front());
    CMainDoc* doc = Document();
    CPartObject* part = doc ? doc->PartWithFrame(m_frameName) : nullptr;
    return part ? Present(doc->SnapshotPart(*part)) : nullptr;
}

bool PartPresenceRecord::Apply() const {
    CMainDoc* doc = Document();
    if (!doc) return false;
    if (m_present) return doc->RestoreSnapshot(m_snapshot) != nullptr;
    CPartObject* part = doc->PartWithFrame(m_frameName);
    return part && doc->RemovePart(*part);
}

std::unique_ptr<UndoRecord> PartMeshRecord::CaptureCurrent() const {
    CMainDoc* doc = Document();
    const CPartObject* part = doc ? doc->PartWithFrame(m_frameNow) : nullptr;
    // After applying, the part answers to the name this record gives it back.
    return part ? std::make_unique<PartMeshRecord>(m_mesh.frameName, CMainDoc::MeshOf(*part)) : nullptr;
}

bool PartMeshRecord::Apply() const {
    CMainDoc* doc = Document();
    CPartObject* part = doc ? doc->PartWithFrame(m_frameNow) : nullptr;
    return part && doc->ReplaceMesh(*part, m_mesh);
}

std::unique_ptr<FigureRecord> FigureRecord::Present(scene::FigureSnapshot snapshot) {
    auto record = std::unique_ptr<FigureRecord>(new FigureRecord);
    record->m_number = snapshot.number;
    record->m_snapshot = std::move(snapshot);
    return record;
}

std::unique_ptr<FigureRecord> FigureRecord::Absent(int number) {
    auto record = std::unique_ptr<FigureRecord>(new FigureRecord);
    record->m_number = number;
    return record;
}

std::unique_ptr<UndoRecord> FigureRecord::CaptureCurrent() const {
    CMainDoc* doc = Document();
    if (scene::Figure* figure = doc ? doc->FigureNumbered(m_number) : nullptr)
        return Present(doc->SnapshotFigure(*figure));
    return m_snapshot ? Absent(m_number) : nullptr;
}

bool FigureRecord::Apply() const {
    CMainDoc* doc = Document();
    if (!doc) return false;
    bool applied = false;
    if (scene::Figure* figure = doc->FigureNumbered(m_number)) applied = doc->RemoveFigure(*figure);
    if (m_snapshot) applied = doc->RestoreFigure(*m_snapshot) != nullptr || applied;
    return applied;
}
