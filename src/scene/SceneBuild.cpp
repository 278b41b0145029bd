// Building a document's scene from the checked content of a scene file.

#include <algorithm>
#include <cmath>
#include <string>

#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "scene/ProgressScope.h"
#include "scene/FrameNames.h"
#include "scene/SceneFile.h"
#include "scene/SceneMessages.h"
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

// Moves one of the document's frames to where the file has it, relative to `reference` (its parent
// when null); what cannot be a placement is left as the reset put it (the position and the
// orientation are judged apart).
void PlaceSavedFrame(rm::Frame* frame, const scene::FramePlacement& placement, const rm::Frame* reference = nullptr) {
    if (!frame) return;
    const auto& [p, d, u] = placement;
    if (IsFinite(p)) frame->SetPosition(reference, p[0], p[1], p[2]);
    if (IsUsableAxis(d) && IsUsableAxis(u))
        frame->SetOrientation(reference, d[0], d[1], d[2], u[0], u[1], u[2]);
}

std::string Format(const char* format, const std::string& value) {
    const std::size_t at = std::string_view(format).find("%s");
    std::string text(format);
    return at == std::string::npos ? text : text.replace(at, 2, value);
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
    // The figures the file holds, within the limit and with their pose sets in the archive; what
    // is left out is named in one message at the end. The reset's figure 1 makes way for them.
    std::vector<std::string> leftOut;
    std::vector<std::string> skippedRoots;
    doc.DropFigures();
    for (const scene::SceneHeader::FigureEntry& entry : header.figures) {
        std::string why;
        bool found = true;
        if (static_cast<int>(doc.m_figures.size()) >= scene::kMaxFigures)
            why = scene::msg::kTooManyFigures;
        else if (!entry.poseSet.empty() && (doc.ReadArchiveText(entry.poseSet, &found), !found))
            why = Format(scene::msg::kPoseSetMissing, cp932::ToUtf8(entry.poseSet));
        if (!why.empty()) {
            leftOut.push_back(cp932::ToUtf8(scene::FigureLabel(entry.number)) + ": " + why);
            skippedRoots.push_back(scene::NormaliseFrameName(scene::FigureRootName(entry.number)));
            continue;
        }
        scene::Figure& figure = doc.AddFigure(entry.number);
        figure.poseSetPath = entry.poseSet;
        figure.poseSetLoaded = entry.poseSetLoaded;
        if (header.hasFramePlacements) PlaceSavedFrame(figure.root.Get(), entry.root);
    }
    const bool anyPoseSet = std::any_of(doc.m_figures.begin(), doc.m_figures.end(),
                                        [](const auto& f) { return !f->poseSetPath.empty(); });
    if (tree && anyPoseSet) {
        doc.BuildSceneTree();
    } else if (tree) {
        tree->DeleteAllItems();
        for (const auto& figure : doc.m_figures) doc.InsertFigureItem(*figure, TVI_LAST);
    }

    // The parts by their index in the file (pre-order), for the option and hidden entries; the
    // parts of a figure left out are not made (null here).
    std::vector<CPartObject*> byIndex(header.partCount, nullptr);
    doc.m_sceneFilePartCount = header.partCount;
    doc.m_restoreCounter = 0;
    // Files of several figures find a part's frame under the part it hangs on: the figures' link
    // frames share their names. Older files keep the search they were written for.
    const CMainDoc::FrameSearch search =
        header.version >= 4 ? CMainDoc::FrameSearch::ParentPart : CMainDoc::FrameSearch::WholeScene;
    {
        scene::ProgressScope progress(doc.m_progressFactory, doc.m_progress);
        (*progress).SetTitle("処理中");
        for (const scene::PartRecord& record : content.parts) {
            const std::string parentFrame = scene::NormaliseFrameName(record.parentFrameName);
            if (std::any_of(skippedRoots.begin(), skippedRoots.end(),
                            [&](const std::string& root) { return cp932::EqualsNoCase(root, parentFrame); }))
                continue;
            std::vector<CPartObject*> built;
            doc.BuildPart(record, nullptr, search, SIZE_MAX, &built);
            std::size_t k = 0;
            record.ForEachInTree([&](const scene::PartRecord& r) {
                if (k < built.size() && r.index >= 0 && static_cast<std::size_t>(r.index) < byIndex.size())
                    byIndex[static_cast<std::size_t>(r.index)] = built[k];
                ++k;
            });
        }
    }

    for (const scene::OptionEntry& option : content.options) {
        CPartObject* part = byIndex[static_cast<std::size_t>(option.index)];
        if (!part || !tree) continue;
        // A figure's entry of that label, or (from version 4, figure 0) an entry outside the figures.
        HTREEITEM parent = 0;
        if (option.figure != 0 || header.version < 4) {
            const scene::Figure* figure = option.figure != 0 ? doc.FigureNumbered(option.figure) : nullptr;
            if (option.figure == 0 || figure) parent = doc.FindItemByLabel(option.parentLabel, figure);
        } else {
            for (const auto& [item, folder] : doc.m_folderMap)
                if (!doc.FigureOfItem(item) && tree->GetItemText(item) == option.parentLabel) {
                    parent = item;
                    break;
                }
        }
        if (!parent) continue;  // the tree definitions no longer offer that entry
        const HTREEITEM item = tree->InsertItem(option.label, parent);
        tree->SetCheck(item, true);
        tree->Expand(parent);
        doc.m_partMap[item] = part;
    }
    std::vector<CPartObject*> hiddenParts;
    for (std::int32_t index : content.hidden) {
        CPartObject* part = byIndex[static_cast<std::size_t>(index)];
        if (!part) continue;
        part->HideVisuals();
        hiddenParts.push_back(part);
    }

    // The scene frame and the option frame; up to version 3 the option frame hung on the
    // character root, and its placement there is turned into one in the scene frame.
    if (header.hasFramePlacements) {
        PlaceSavedFrame(doc.GetSceneFrame(), header.frames[1]);
        const scene::Figure* first = header.version < 4 ? doc.FigureNumbered(1) : nullptr;
        PlaceSavedFrame(doc.GetOptionFrame(), header.frames[2], first ? first->root.Get() : nullptr);
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
    if (!leftOut.empty()) {
        std::string text = scene::msg::kFiguresLeftOut;
        for (const std::string& line : leftOut) text += "\n" + line;
        win::MessageBox(nullptr, text, scene::msg::kSceneCaption, win::Buttons::Ok, win::Icon::Warning);
    }
    win::SendMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
    win::PostMessage(app->m_p3DView, win::WM_SETTINGS_CHANGED);
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
}
