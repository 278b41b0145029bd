// Building a document's scene from the checked content of a scene file.

#include <cmath>

#include "core/MainApp.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "scene/ProgressScope.h"
#include "scene/SceneFile.h"
#include "scene/SceneTexts.h"

namespace {

bool IsFinite(const float (&v)[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// An axis as the file may give it. Saved axes are unit vectors: anything far from that is no
// placement this program wrote, and is left alone rather than trusted. Zero and parallel axes
// SetOrientation refuses itself.
bool IsUsableAxis(const float (&v)[3]) {
    constexpr float kLargest = 1e6f;
    return IsFinite(v) && std::fabs(v[0]) <= kLargest && std::fabs(v[1]) <= kLargest &&
           std::fabs(v[2]) <= kLargest;
}

// Whether a placement from the file can be one: a finite position and usable axes.
bool IsUsablePlacement(const scene::FramePlacement& placement) {
    return IsFinite(placement.position) && IsUsableAxis(placement.direction) && IsUsableAxis(placement.up);
}

// Moves one of the document's frames to where the file has it; what cannot be a placement is left
// as the reset put it (the position and the orientation are judged apart).
void PlaceSavedFrame(rm::Frame* frame, const scene::FramePlacement& placement) {
    if (!frame) return;
    const auto& [p, d, u] = placement;
    if (IsFinite(p)) frame->SetPosition(nullptr, p[0], p[1], p[2]);
    if (IsUsableAxis(d) && IsUsableAxis(u))
        frame->SetOrientation(nullptr, d[0], d[1], d[2], u[0], u[1], u[2]);
}

}  // namespace

void CSceneFile::Build(CMainDoc& doc, const scene::SceneContent& content) {
    CMainApp* app = GetApp();
    const scene::SceneHeader& header = content.header;
    app->SetSettingFloat("view", "field", header.field);
    app->SetSettingString("render", "eye_L", doc.ResolveAssetPath(header.eyeL));
    app->SetSettingString("render", "eye_R", doc.ResolveAssetPath(header.eyeR));
    app->SetSettingString("render", "bg", doc.ResolveAssetPath(header.background));
    app->SetSettingInt("bg", "edit", header.bgEdit);
    app->SetSettingInt("bg", "render", header.bgRender);

    CPartsTree* tree = doc.Tree();
    scene::Figure* first = doc.m_figures.empty() ? nullptr : doc.m_figures.front().get();
    if (first) first->poseSetPath = header.poseSet;
    if (tree && !header.poseSet.empty()) {
        doc.BuildSceneTree();
    } else if (tree && first) {
        tree->DeleteAllItems();
        doc.InsertFigureItem(*first, TVI_LAST);
    }

    // The parts by their index in the file (pre-order), for the option and hidden entries.
    std::vector<CPartObject*> byIndex;
    doc.m_sceneFilePartCount = header.partCount;
    doc.m_restoreCounter = 0;
    {
        scene::ProgressScope progress(doc.m_progressFactory, doc.m_progress);
        (*progress).SetTitle("処理中");
        for (const scene::PartRecord& record : content.parts)
            doc.BuildPart(record, nullptr, CMainDoc::FrameSearch::WholeScene, SIZE_MAX, &byIndex);
    }

    for (const scene::OptionEntry& option : content.options) {
        const HTREEITEM parent = tree ? doc.FindItemByLabel(option.parentLabel) : 0;
        if (!parent) continue;  // the tree definitions no longer offer that entry
        const HTREEITEM item = tree->InsertItem(option.label, parent);
        tree->SetCheck(item, true);
        tree->Expand(parent);
        doc.m_partMap[item] = byIndex[static_cast<std::size_t>(option.index)];
    }
    std::vector<CPartObject*> hiddenParts;
    for (std::int32_t index : content.hidden) {
        CPartObject* part = byIndex[static_cast<std::size_t>(index)];
        part->HideVisuals();
        hiddenParts.push_back(part);
    }

    // The parts sit in their frames by placements relative to those frames, so moving the frames
    // last keeps every part where it was seen.
    if (header.hasFramePlacements) {
        rm::Frame* const frames[scene::kSavedFrameCount] = {doc.GetCharacterRootFrame(), doc.GetSceneFrame(),
                                                            doc.GetOptionFrame()};
        for (int i = 0; i < scene::kSavedFrameCount; ++i) PlaceSavedFrame(frames[i], header.frames[i]);
    }
    // The view the scene was saved with; an older file looks from where a new scene does, as the
    // reset left the camera.
    if (header.version >= 3 && IsUsablePlacement(header.camera)) doc.PlaceCamera(header.camera);

    // The markers keep the visibility the file gives them (the hidden list above).
    if (header.hasLights) doc.PlaceLights(false, header.lightColors);
    // The tree shows hidden parts unchecked, as the user left them.
    if (tree)
        for (const auto& [item, part] : doc.m_partMap)
            if (!part->IsVisible()) tree->SetCheck(item, false);
    if (tree)
        for (CPartObject* part : hiddenParts)
            if (HTREEITEM item = doc.FindItemByFolder(part->m_definitionPath, doc.FigureOfPart(*part));
                item && doc.FindPartByItem(item) == part)
                tree->SetCheck(item, false);

    win::SendMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, doc.GetCharacterItem());
    win::SendMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
    win::PostMessage(app->m_p3DView, win::WM_SETTINGS_CHANGED);
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
}
