// Whole parts: deleting a part the person added, bringing it back, and swapping a part's mesh.

#include <algorithm>

#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/LocalPlacement.h"
#include "scene/MainDoc.h"
#include "scene/PartIndexTable.h"

namespace {

// The part and every part below it, parents first.
std::vector<CPartObject*> PartsOf(CPartObject& part) {
    std::vector<CPartObject*> parts;
    part.ForEachInTree([&parts](CPartObject* p) { parts.push_back(p); });
    return parts;
}

}  // namespace

CPartObject* CMainDoc::PartWithFrame(std::string_view frameName) const {
    if (frameName.empty()) return nullptr;
    for (CPartObject* part : m_allParts)
        if (part->GetFrame() && part->GetFrame()->GetName() == frameName) return part;
    return nullptr;
}

void CMainDoc::ForgetPart(CPartObject* part) {
    // The part and its descendants leave every list and map that points at them, so nothing keeps
    // a pointer to a deleted part.
    const std::vector<CPartObject*> gone = PartsOf(*part);
    auto isGone = [&gone](const CPartObject* p) { return std::find(gone.begin(), gone.end(), p) != gone.end(); };
    std::erase_if(m_allParts, isGone);
    CPartsTree* tree = Tree();
    for (auto it = m_partMap.begin(); it != m_partMap.end();) {
        if (!isGone(it->second)) {
            ++it;
            continue;
        }
        const HTREEITEM item = it->first;
        it = m_partMap.erase(it);
        m_folderMap.erase(item);
        m_flagsMap.erase(item);
        if (tree) tree->DeleteItem(item);
    }
}

bool CMainDoc::RemovePart(CPartObject& part) {
    CPartsTree* tree = Tree();
    // Where the selection goes when it is on an entry that goes: the next entry beside the part's
    // own that stays, else the entry above it, as a tree control moves it.
    HTREEITEM next = 0;
    bool selectionGoes = false;
    if (tree) {
        const std::vector<CPartObject*> gone = PartsOf(part);
        std::vector<HTREEITEM> goneItems;
        for (const auto& [item, p] : m_partMap)
            if (std::find(gone.begin(), gone.end(), p) != gone.end()) goneItems.push_back(item);
        auto goes = [&goneItems](HTREEITEM item) {
            return std::find(goneItems.begin(), goneItems.end(), item) != goneItems.end();
        };
        selectionGoes = goes(tree->GetSelectedItem());
        for (const auto& [item, p] : m_partMap) {
            if (p != &part) continue;
            next = tree->GetNextSiblingItem(item);
            while (next != 0 && goes(next)) next = tree->GetNextSiblingItem(next);
            if (next == 0) next = tree->GetParentItem(item);
        }
    }

    std::unique_ptr<CPartObject> owned;
    auto top = std::find_if(m_topLevelParts.begin(), m_topLevelParts.end(),
                            [&part](const auto& p) { return p.get() == &part; });
    if (top != m_topLevelParts.end()) {
        owned = std::move(*top);
        m_topLevelParts.erase(top);
    } else if (part.GetParent()) {
        owned = part.GetParent()->RemoveChildPart(&part);
    }
    if (!owned) return false;
    ForgetPart(&part);  // also deletes the entry and the entries of parts hanging on it
    owned.reset();
    SetModifiedFlag();
    CMainApp* app = GetApp();
    if (selectionGoes) {
        // The pages, the collection and the edit view follow the new selection.
        if (app->m_pMainView)
            win::SendMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, next);
        else if (tree)
            tree->SelectItem(next);
    }
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
    return true;
}

bool CMainDoc::DeleteSelectedPart() {
    CPartsTree* tree = Tree();
    if (!tree) return false;
    const HTREEITEM item = tree->GetSelectedItem();
    // A figure's own entry: the whole figure goes.
    if (scene::Figure* figure = FigureOfItem(item); figure && figure->item == item) return DeleteFigure(*figure);
    auto entry = m_partMap.find(item);
    if (item == 0 || entry == m_partMap.end()) return false;
    CPartObject& part = *entry->second;
    scene::PartSnapshot snapshot;
    if (m_partDeleted) snapshot = SnapshotPart(part);
    // No undo step may still name a frame that goes: the parts hanging on it go too.
    if (m_forgetFrame)
        for (CPartObject* p : PartsOf(part))
            if (p->GetFrame()) m_forgetFrame(p->GetFrame());
    if (!RemovePart(part)) return false;
    if (m_partDeleted) m_partDeleted(std::move(snapshot));
    return true;
}

scene::PartSnapshot CMainDoc::SnapshotPart(CPartObject& part) {
    scene::PartSnapshot snapshot;
    CPartIndexTable table;
    const std::vector<CPartObject*> parts = PartsOf(part);
    table.Prepare(parts.size());
    snapshot.record = part.ToRecord(table);
    for (CPartObject* p : parts) {
        snapshot.frameNames.push_back(p->GetFrame() ? p->GetFrame()->GetName() : std::string());
        snapshot.visible.push_back(p->IsVisible());
    }
    if (CPartsTree* tree = Tree())
        for (const auto& [item, p] : m_partMap) {
            const auto at = std::find(parts.begin(), parts.end(), p);
            if (at == parts.end() || !tree->Exists(item)) continue;
            const HTREEITEM parent = tree->GetParentItem(item);
            const auto& siblings = tree->Children(parent);
            const scene::Figure* figure = FigureOfItem(parent);
            snapshot.entries.push_back({static_cast<std::size_t>(at - parts.begin()), tree->GetItemText(parent),
                                        figure ? figure->number : 0, tree->GetItemText(item),
                                        static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), item) -
                                                                 siblings.begin()),
                                        tree->GetCheck(item)});
        }
    if (CPartObject* parent = part.GetParent()) {
        snapshot.parentFrameName = parent->GetFrame() ? parent->GetFrame()->GetName() : std::string();
        const auto& siblings = parent->Children();
        snapshot.position = static_cast<std::size_t>(
            std::find_if(siblings.begin(), siblings.end(), [&part](const auto& p) { return p.get() == &part; }) -
            siblings.begin());
    } else {
        snapshot.position = static_cast<std::size_t>(
            std::find_if(m_topLevelParts.begin(), m_topLevelParts.end(),
                         [&part](const auto& p) { return p.get() == &part; }) -
            m_topLevelParts.begin());
    }
    return snapshot;
}

CPartObject* CMainDoc::RestoreSnapshot(const scene::PartSnapshot& snapshot) {
    CPartObject* parent = nullptr;
    if (!snapshot.parentFrameName.empty()) {
        parent = PartWithFrame(snapshot.parentFrameName);
        if (!parent) return nullptr;
    }
    std::vector<CPartObject*> built;
    CPartObject* part = BuildPart(snapshot.record, parent, FrameSearch::ParentPart, snapshot.position, &built);
    for (std::size_t i = 0; i < built.size(); ++i) {
        if (i < snapshot.frameNames.size() && built[i]->GetFrame() && !snapshot.frameNames[i].empty())
            built[i]->GetFrame()->SetName(snapshot.frameNames[i]);
        if (i < snapshot.visible.size() && !snapshot.visible[i]) built[i]->HideVisuals();
    }
    if (CPartsTree* tree = Tree())
        for (const scene::PartEntry& entry : snapshot.entries) {
            const scene::Figure* figure = entry.figure != 0 ? FigureNumbered(entry.figure) : nullptr;
            if (entry.figure != 0 && !figure) continue;
            const HTREEITEM parentItem = FindItemByLabel(entry.parentLabel, figure);
            if (!parentItem || entry.part >= built.size()) continue;
            const auto& siblings = tree->Children(parentItem);
            const HTREEITEM after = entry.position == 0                  ? TVI_FIRST
                                    : entry.position <= siblings.size() ? siblings[entry.position - 1]
                                                                        : TVI_LAST;
            const HTREEITEM item = tree->InsertItem(entry.label, 0, 0, parentItem, after);
            if (!item) continue;
            tree->SetCheck(item, entry.checked);
            tree->Expand(parentItem);
            m_partMap[item] = built[entry.part];
        }
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
    return part;
}

scene::PartMesh CMainDoc::MeshOf(const CPartObject& part) {
    scene::PartMesh mesh;
    mesh.definitionPath = part.m_definitionPath;
    if (const rm::Frame* frame = part.GetFrame()) {
        mesh.frameName = frame->GetName();
        mesh.placement = scene::LocalPlacementOf(*frame);
    }
    return mesh;
}

bool CMainDoc::ReplaceMesh(CPartObject& part, const scene::PartMesh& mesh) {
    if (!LoadPart(mesh.definitionPath, &part, part.GetFrame() ? part.GetFrame()->Parent() : nullptr, part.m_figure) ||
        !part.GetFrame())
        return false;
    rm::Frame& frame = *part.GetFrame();
    if (!mesh.frameName.empty()) frame.SetName(mesh.frameName);
    scene::PlaceLocally(frame, mesh.placement);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
    return true;
}
