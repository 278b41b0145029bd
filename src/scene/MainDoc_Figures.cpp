// The figures of the scene: finding a figure from a tree item, a part or a frame, and making one.

#include <algorithm>

#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/DefinitionText.h"
#include "scene/LocalPlacement.h"
#include "scene/MainDoc.h"
#include "scene/SceneLights.h"

const std::string& CMainDoc::GetPoseSetPath() const {
    static const std::string kNone;
    return m_figures.empty() ? kNone : m_figures.front()->poseSetPath;
}

scene::Figure* CMainDoc::FigureNumbered(int number) const {
    for (const auto& figure : m_figures)
        if (figure->number == number) return figure.get();
    return nullptr;
}

scene::Figure* CMainDoc::FigureOfItem(HTREEITEM item) const {
    const CPartsTree* tree = Tree();
    for (HTREEITEM at = item; at != 0 && at != TVI_ROOT; at = tree ? tree->GetParentItem(at) : 0)
        for (const auto& figure : m_figures)
            if (figure->item != 0 && figure->item == at) return figure.get();
    return nullptr;
}

scene::Figure* CMainDoc::FigureOfPart(const CPartObject& part) const {
    return part.m_figure == 0 ? nullptr : FigureNumbered(part.m_figure);
}

scene::Figure* CMainDoc::FigureWithRoot(const rm::Frame* frame) const {
    for (const auto& figure : m_figures)
        if (frame && figure->root.Get() == frame) return figure.get();
    return nullptr;
}

CPartObject* CMainDoc::FigureRootPart(const scene::Figure& figure) const {
    for (const auto& part : m_topLevelParts)
        if (part->m_figure == figure.number) return part.get();
    return nullptr;
}

std::optional<int> CMainDoc::ColourGroupOf(const CPartObject& part) const {
    if (m_figures.size() <= 1) return std::nullopt;
    return part.m_figure;
}

scene::Figure* CMainDoc::SelectedFigure() const {
    if (const CPartsTree* tree = Tree()) {
        const HTREEITEM item = tree->GetSelectedItem();
        if (scene::Figure* figure = FigureOfItem(item)) return figure;
        if (const CPartObject* part = FindPartByItem(item))
            if (scene::Figure* figure = FigureOfPart(*part)) return figure;
    }
    return m_figures.empty() ? nullptr : m_figures.front().get();
}

void CMainDoc::DropFigures() {
    for (const auto& figure : m_figures)
        if (figure->root)
            if (rm::Frame* parent = figure->root->Parent()) parent->DeleteChild(figure->root.Get());
    m_figures.clear();
}

scene::Figure& CMainDoc::AddFigure(int number) {
    auto figure = std::make_unique<scene::Figure>();
    figure->number = number;
    if (rm::Library* library = GetApp()->m_lpD3DRM; library && m_lpfScene) {
        figure->root = library->CreateFrame(m_lpfScene.Get());
        figure->root->SetName(scene::FigureRootName(number));
        figure->root->SetPosition(nullptr, 0, 0, kFigureDistance);
    }
    const auto at = std::find_if(m_figures.begin(), m_figures.end(),
                                 [number](const auto& f) { return f->number > number; });
    return **m_figures.insert(at, std::move(figure));
}

namespace {

rm::Box Union(const rm::Box& a, const rm::Box& b) {
    return {{std::min(a.min.x, b.min.x), std::min(a.min.y, b.min.y), std::min(a.min.z, b.min.z)},
            {std::max(a.max.x, b.max.x), std::max(a.max.y, b.max.y), std::max(a.max.z, b.max.z)}};
}

// The item after which a new top-level entry takes that place among the top-level entries.
HTREEITEM TopLevelSlot(const CPartsTree& tree, std::size_t position) {
    const auto& top = tree.Children(TVI_ROOT);
    if (position == 0) return TVI_FIRST;
    return position <= top.size() ? top[position - 1] : TVI_LAST;
}

// Between a new figure and what stands beside it, in units.
constexpr float kFigureGap = 2.0f;

}  // namespace

std::optional<rm::Box> CMainDoc::FigureBox(const scene::Figure& figure) const {
    std::optional<rm::Box> box;
    for (const CPartObject* part : m_allParts)
        if (part->m_figure == figure.number)
            if (const std::optional<rm::Box> own = PartBox(*part)) box = box ? Union(*box, *own) : *own;
    return box;
}

scene::Figure* CMainDoc::AddFigureFromPoseSet(const std::string& path) {
    CPartsTree* tree = Tree();
    if (!tree || static_cast<int>(m_figures.size()) >= scene::kMaxFigures) return nullptr;
    const std::optional<std::string> text = ReadPoseSetText(path);
    if (!text) return nullptr;
    // Where it will stand: beside what the scene shows, on the floor of the other figures.
    const std::optional<rm::Box> scene = VisiblePartsBox();
    std::optional<rm::Box> others;
    for (const auto& figure : m_figures)
        if (const std::optional<rm::Box> box = FigureBox(*figure)) others = others ? Union(*others, *box) : *box;

    int number = 1;
    for (const auto& figure : m_figures) number = std::max(number, figure->number + 1);
    // Its entry follows the last figure's (or stands before the props when no figure is left).
    HTREEITEM after = TVI_LAST;
    if (!m_figures.empty() && m_figures.back()->item) {
        after = m_figures.back()->item;
    } else if (m_optionItem) {
        const auto& top = tree->Children(TVI_ROOT);
        const auto option = std::find(top.begin(), top.end(), m_optionItem);
        after = option == top.begin() ? TVI_FIRST : *(option - 1);
    }
    scene::Figure& figure = AddFigure(number);
    figure.poseSetPath = path;
    figure.poseSetLoaded = true;
    InsertFigureItem(figure, after);
    LoadFigureParts(figure, scene::ParsePoseSet(*text));

    if (const std::optional<rm::Box> own = FigureBox(figure); own && figure.root) {
        rm::Vector at;
        figure.root->GetPosition(nullptr, &at);
        if (scene) at.x += scene->max.x + kFigureGap - own->min.x;
        if (others) at.y += others->min.y - own->min.y;
        figure.root->SetPosition(nullptr, at.x, at.y, at.z);
    }
    if (!GetApp()->m_lpD3DRM || !GetApp()->m_lpD3DRM->GetNamedObject(scene::kSceneLights[0].name)) CreateSceneLights();
    SetModifiedFlag();
    if (m_figureChanged) m_figureChanged(figure.number, std::nullopt);
    SelectAfterFigureChange(figure.item);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
    return &figure;
}

void CMainDoc::SelectAfterFigureChange(HTREEITEM item) {
    CMainApp* app = GetApp();
    if (app->m_pMainView)
        win::SendMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, item);
    else if (CPartsTree* tree = Tree())
        tree->SelectItem(item);
}

scene::FigureSnapshot CMainDoc::SnapshotFigure(scene::Figure& figure) {
    scene::FigureSnapshot snapshot;
    snapshot.number = figure.number;
    snapshot.poseSetPath = figure.poseSetPath;
    snapshot.poseSetLoaded = figure.poseSetLoaded;
    if (figure.root) snapshot.root = scene::LocalPlacementOf(*figure.root);
    if (CPartsTree* tree = Tree()) {
        const auto& top = tree->Children(TVI_ROOT);
        snapshot.position =
            static_cast<std::size_t>(std::find(top.begin(), top.end(), figure.item) - top.begin());
        for (const auto& [item, folder] : m_folderMap)
            if (FigureOfItem(item) == &figure) snapshot.ticks.emplace_back(folder, tree->GetCheck(item));
    }
    for (const auto& part : m_topLevelParts)
        if (part->m_figure == figure.number) snapshot.parts.push_back(SnapshotPart(*part));
    return snapshot;
}

bool CMainDoc::RemoveFigure(scene::Figure& figure) {
    const auto at = std::find_if(m_figures.begin(), m_figures.end(), [&figure](const auto& f) { return f.get() == &figure; });
    if (at == m_figures.end()) return false;
    CPartsTree* tree = Tree();
    const bool selectionGoes = tree && FigureOfItem(tree->GetSelectedItem()) == &figure;
    HTREEITEM next = tree ? tree->GetNextSiblingItem(figure.item) : 0;
    if (next == 0 && tree) {
        const auto& top = tree->Children(TVI_ROOT);
        const auto self = std::find(top.begin(), top.end(), figure.item);
        if (self != top.end() && self != top.begin()) next = *(self - 1);
    }
    // Its parts go with the props hanging on them, then its entries and its root frame.
    std::vector<CPartObject*> parts;
    for (const auto& part : m_topLevelParts)
        if (part->m_figure == figure.number) parts.push_back(part.get());
    for (CPartObject* part : parts) {
        ForgetPart(part);
        std::erase_if(m_topLevelParts, [part](const auto& p) { return p.get() == part; });
    }
    if (tree && figure.item) {
        for (auto it = m_folderMap.begin(); it != m_folderMap.end();)
            if (FigureOfItem(it->first) == &figure) {
                m_flagsMap.erase(it->first);
                it = m_folderMap.erase(it);
            } else {
                ++it;
            }
        tree->DeleteItem(figure.item);
    }
    if (figure.root)
        if (rm::Frame* parent = figure.root->Parent()) parent->DeleteChild(figure.root.Get());
    m_figures.erase(at);
    SetModifiedFlag();
    if (selectionGoes) SelectAfterFigureChange(next);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
    return true;
}

scene::Figure* CMainDoc::RestoreFigure(const scene::FigureSnapshot& snapshot) {
    CPartsTree* tree = Tree();
    if (!tree || FigureNumbered(snapshot.number) || static_cast<int>(m_figures.size()) >= scene::kMaxFigures)
        return nullptr;
    scene::Figure& figure = AddFigure(snapshot.number);
    figure.poseSetPath = snapshot.poseSetPath;
    figure.poseSetLoaded = snapshot.poseSetLoaded;
    if (figure.root) scene::PlaceLocally(*figure.root, snapshot.root);
    InsertFigureItem(figure, TopLevelSlot(*tree, snapshot.position));
    for (const scene::PartSnapshot& part : snapshot.parts) RestoreSnapshot(part);
    for (const auto& [folder, checked] : snapshot.ticks)
        for (const auto& [item, itemFolder] : m_folderMap)
            if (itemFolder == folder && FigureOfItem(item) == &figure) tree->SetCheck(item, checked);
    SetModifiedFlag();
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
    return &figure;
}

bool CMainDoc::DeleteFigure(scene::Figure& figure) {
    const std::string label = cp932::ToUtf8(scene::FigureLabel(figure.number));
    if (win::MessageBox(nullptr, "「" + label + "」を削除します。よろしいですか？", "キャラクタの削除",
                        win::Buttons::OkCancel, win::Icon::Question) != win::IDOK)
        return false;
    // The undo steps that name its frames stay: undoing the removal brings the frames back under
    // the same names, and until then those steps find nothing to restore.
    std::optional<scene::FigureSnapshot> snapshot;
    if (m_figureChanged) snapshot = SnapshotFigure(figure);
    const int number = figure.number;
    if (!RemoveFigure(figure)) return false;
    if (m_figureChanged) m_figureChanged(number, std::move(snapshot));
    return true;
}

bool CMainDoc::ReplaceFigurePoseSet(scene::Figure& figure, const std::string& path) {
    CPartsTree* tree = Tree();
    if (!tree) return false;
    const std::optional<std::string> text = ReadPoseSetText(path);
    if (!text) return false;
    scene::FigureSnapshot before = SnapshotFigure(figure);
    RemoveFigure(figure);
    // The new parts stand where the old ones stood, under the same number and entry.
    scene::Figure& replaced = AddFigure(before.number);
    replaced.poseSetPath = path;
    replaced.poseSetLoaded = true;
    if (replaced.root) scene::PlaceLocally(*replaced.root, before.root);
    InsertFigureItem(replaced, TopLevelSlot(*tree, before.position));
    LoadFigureParts(replaced, scene::ParsePoseSet(*text));
    SetModifiedFlag();
    if (m_figureChanged) m_figureChanged(replaced.number, std::move(before));
    SelectAfterFigureChange(replaced.item);  // the removal's refresh, still to come, shows it
    return true;
}
