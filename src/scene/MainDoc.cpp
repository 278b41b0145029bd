#include "scene/MainDoc.h"

#include <algorithm>

#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/FrameNames.h"
#include "scene/PartPaths.h"

CMainDoc::CMainDoc() {
    GetApp()->m_pDocument = this;
}

CMainDoc::~CMainDoc() {
    ReleaseAllParts();
    if (GetApp()->m_pDocument == this) GetApp()->m_pDocument = nullptr;
}

CPartsTree* CMainDoc::Tree() const {
    return GetApp()->m_pTreeModel;
}

CCommunicator& CMainDoc::Archive() const {
    return m_archive ? *m_archive : GetApp()->GetArchive();
}

CPartObject* CMainDoc::FindPartByFolder(std::string_view path, const scene::Figure* figure) const {
    const std::string folder =
        scene::WithBackslash(scene::FolderOf(path).empty() ? std::string(path) : scene::FolderOf(path));
    auto wanted = [&](const CPartObject* part) {
        return (!figure || part->m_figure == figure->number) && cp932::EqualsNoCase(part->m_folder, folder);
    };
    for (CPartObject* part : m_allParts)
        if (wanted(part)) return part;
    for (const auto& part : m_topLevelParts)
        if (wanted(part.get())) return part.get();
    return nullptr;
}

CPartObject* CMainDoc::FindPartByItem(HTREEITEM item) const {
    if (auto it = m_partMap.find(item); it != m_partMap.end()) return it->second;
    if (auto it = m_folderMap.find(item); it != m_folderMap.end()) return FindPartByFolder(it->second, FigureOfItem(item));
    return nullptr;
}

std::vector<rm::Ref<rm::Frame>> CMainDoc::FindFramesByGeneralName(std::string_view generalName) const {
    std::vector<rm::Ref<rm::Frame>> frames;
    for (CPartObject* part : m_allParts)
        for (const auto& color : part->ColorObjects())
            if (color->m_generalName == generalName)
                if (rm::Ref<rm::Frame> f = FindFrameByName(color->m_targetFrame, part->GetFrame()))
                    frames.push_back(std::move(f));
    return frames;
}

void CMainDoc::SetPartVisible(HTREEITEM item, int show) {
    CPartObject* part = FindPartByItem(item);
    if (!part) return;
    const bool wasVisible = part->IsVisible();
    if (show == 1)
        part->ShowVisuals();
    else
        part->HideVisuals();
    // Only what a person sees change is a change of the scene (a tick that meets the part as it is
    // already, a marker hidden again after a load, is none).
    if (part->IsVisible() != wasVisible) SetModifiedFlag();
}

void CMainDoc::CheckItem(HTREEITEM item) {
    if (CPartsTree* tree = Tree()) tree->SetCheck(item, true);
    win::PostMessage(GetApp()->m_pMainView, win::WM_REFRESH);
}

std::optional<rm::Box> CMainDoc::PartBox(const CPartObject& part) {
    const rm::Frame* frame = part.GetFrame();
    if (!frame) return std::nullopt;
    const auto& b = part.m_box;
    std::optional<rm::Box> box;
    for (int i = 0; i < 8; ++i) {
        const rm::Vector local{i & 1 ? b[3] : b[0], i & 2 ? b[4] : b[1], i & 4 ? b[5] : b[2]};
        rm::Vector world;
        frame->Transform(&world, &local);
        if (!box) box = rm::Box{world, world};
        box->min = {std::min(box->min.x, world.x), std::min(box->min.y, world.y), std::min(box->min.z, world.z)};
        box->max = {std::max(box->max.x, world.x), std::max(box->max.y, world.y), std::max(box->max.z, world.z)};
    }
    return box;
}

std::optional<rm::Box> CMainDoc::VisiblePartsBox() const {
    std::optional<rm::Box> all;
    for (const CPartObject* part : m_allParts) {
        if (!part->IsVisible()) continue;
        const std::optional<rm::Box> box = PartBox(*part);
        if (!box) continue;
        if (!all) all = box;
        all->min = {std::min(all->min.x, box->min.x), std::min(all->min.y, box->min.y), std::min(all->min.z, box->min.z)};
        all->max = {std::max(all->max.x, box->max.x), std::max(all->max.y, box->max.y), std::max(all->max.z, box->max.z)};
    }
    return all;
}

rm::Ref<rm::Frame> CMainDoc::GetEditTarget() {
    CPartsTree* tree = Tree();
    const HTREEITEM item = tree ? tree->GetSelectedItem() : 0;
    if (item != 0) {
        if (item == m_optionItem) return m_lpfOption;
        scene::Figure* figure = FigureOfItem(item);
        const bool characterChild = figure && tree->GetParentItem(item) == figure->item;
        if ((figure && item == figure->item) || characterChild) {
            if (characterChild)
                if (CPartObject* part = FindPartByItem(item)) {
                    CheckItem(item);
                    part->ShowVisuals();
                    // A limb, a head or a hand turns on the part it hangs on, which is what posing
                    // is; the figure's root part stands for the whole figure.
                    if (part->GetParent() && part->GetFrame()) return rm::Ref<rm::Frame>(part->GetFrame());
                }
            return figure->root;
        }
        if (CPartObject* part = FindPartByItem(item)) {
            CheckItem(item);
            part->ShowVisuals();
            return rm::Ref<rm::Frame>(part->GetFrame());
        }
    }
    return m_lpfScene;
}
