// Loading parts from the data archive: pose sets, tree and colour definitions, one part (new or
// reloaded), parts of a scene file, colours and eye textures, and what applying a library entry
// does.

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "core/MainApp.h"
#include "platform/rm/Library.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/DefinitionText.h"
#include "scene/FrameNames.h"
#include "scene/MainDoc.h"
#include "scene/PartPaths.h"
#include "scene/ProgressScope.h"
#include "scene/SceneTexts.h"
#include "xfile/XFileReader.h"

namespace {

std::string Percent(const char* format, std::size_t value) {
    char text[160];
    std::snprintf(text, sizeof text, format, static_cast<int>(value));
    return text;
}

void ShowMissingData(const std::string& path) {
    win::MessageBox(nullptr, "データブロック\"" + cp932::ToUtf8(path) + "\"が見つかりません。",
                    "致命的エラー", win::Buttons::Ok, win::Icon::Error);
}

}  // namespace

std::optional<std::string> CMainDoc::ReadPoseSetText(const std::string& path) const {
    bool found = false;
    std::string text = ReadArchiveText(path, &found);
    if (!found) {
        ShowMissingData(path);
        return std::nullopt;
    }
    return text;
}

std::string CMainDoc::ReadArchiveText(const std::string& name, bool* found) const {
    std::size_t length = 0;
    const char* data = Archive().Read(name, length);
    *found = data != nullptr;
    // The archive's buffer is only valid until the next read: keep a copy.
    return data ? std::string(data, length) : std::string();
}

rm::Ref<rm::Frame> CMainDoc::ReadMesh(const std::string& path, rm::Ref<rm::Frame>* readerRoot) {
    bool found = false;
    const std::string text = ReadArchiveText(path, &found);
    if (!found) {
        ShowMissingData(path);
        return nullptr;
    }
    CXFileReader reader;
    if (m_progress) reader.SetProgress(*m_progress);
    reader.Load(text.data(), text.size(), GetApp()->m_lpD3DRM, nullptr, readerRoot);
    if (reader.Form() != xfile::XFileForm::Text) {
        // Only the text form is read; the part is not made.
        win::MessageBox(nullptr, xfile::NotTextFormMessage(reader.Form(), cp932::ToUtf8(path)),
                        xfile::kNotTextFormCaption, win::Buttons::Ok, win::Icon::Error);
        return nullptr;
    }
    if (!*readerRoot) return nullptr;
    if (rm::AnimationSet* animation = reader.GetAnimationSet()) animation->SetTime(50.0f);
    MakeFrameNamesUnique(readerRoot->Get(), m_currentItemTag);
    const auto& children = (*readerRoot)->Children();
    return children.empty() ? rm::Ref<rm::Frame>() : children.front();
}

CPartObject* CMainDoc::LoadPart(const std::string& path, CPartObject* part, rm::Frame* attachFrame, int figure) {
    if (figure < 0) {
        const scene::Figure* attached = FigureWithRoot(attachFrame);
        figure = attached ? attached->number : 0;
    }
    const std::string linkName = scene::LinkNameOf(path);
    const std::string parentFolder = scene::ParentFolderOf(path);

    rm::Ref<rm::Frame> readerRoot;
    rm::Ref<rm::Frame> frame = ReadMesh(path, &readerRoot);
    if (!readerRoot) return nullptr;  // missing mesh: already reported

    const bool newCase = part == nullptr;
    std::unique_ptr<CPartObject> owned;
    if (newCase) {
        owned = std::make_unique<CPartObject>();
        part = owned.get();
    }
    CPartObject* result = nullptr;

    // Figures share folder names: a part hangs on its own figure's parts.
    CPartObject* parentPart = nullptr;
    for (CPartObject* p : m_allParts)
        if ((figure == 0 || p->m_figure == figure) && scene::FoldersMatch(p->m_folder, parentFolder)) {
            parentPart = p;
            break;
        }
    const bool linkMissing = newCase && !parentPart && !parentFolder.empty();

    if (frame && !linkMissing) {
        bool found = false;
        std::string colorText = ReadArchiveText(scene::ColorDefinitionOf(path), &found);
        if (!found) colorText = ReadArchiveText(scene::DefaultColorDefinitionOf(path), &found);
        if (found) {
            std::vector<std::unique_ptr<CColorObject>> colors;
            for (const scene::ColorLine& line : scene::ParseColorDefinition(colorText))
                colors.push_back(
                    std::make_unique<CColorObject>(line.targetFrame, line.generalName, line.remark, part));
            // A new colour starts from the colours the mesh file gives its frame, so a figure
            // looks as its author made it until the person recolours it.
            for (auto& color : colors) color->TakeColorsFromMesh(frame.Get());
            // A swapped part wears what its colour group wears.
            if (!newCase)
                for (CPartObject* other : m_allParts) {
                    if (!InColourGroup(*other, ColourGroupOf(*part))) continue;
                    for (const auto& old : other->ColorObjects())
                        for (auto& color : colors)
                            if (color->m_generalName == old->m_generalName) color->TakeColorsFrom(*old);
                }
            part->SetColorObjects(std::move(colors));
            part->PruneColorObjects(frame.Get());
        }

        if (newCase) {
            const scene::Figure* own = FigureWithRoot(attachFrame);
            part->m_figure = parentPart ? parentPart->m_figure : own ? own->number : 0;
            part->AttachToParent(frame, parentPart, linkName, path);
            if (parentPart) {
                parentPart->AddChildPart(std::move(owned));
            } else if (parentFolder.empty()) {
                m_topLevelParts.push_back(std::move(owned));
                if (attachFrame) {
                    attachFrame->AddChild(frame.Get());
                    // At the figure's feet, or at the first figure's for a prop of none.
                    const scene::Figure* at = FigureNumbered(figure);
                    rm::Frame* stand = at ? at->root.Get() : GetCharacterRootFrame();
                    frame->SetPosition(stand ? stand : attachFrame, 0, 0, 0);
                    frame->SetOrientation(attachFrame, 0, 0, 1, 0, 1, 0);
                }
                result = part;
            }
            if (attachFrame && attachFrame == m_lpfScene.Get()) result = part;
        } else {
            const scene::Figure* own = FigureOfPart(*part);
            part->ReattachFrame(frame, path, own ? own->root.Get() : GetCharacterRootFrame());
            result = part;
        }
        ApplyColors(part);
    }

    if (newCase) {
        if (part->GetFrame() && !owned) {
            m_allParts.push_back(part);
        } else {
            // Not linked (no frame, or no loaded part in its parent folder): nothing remains.
            owned.reset();
            result = nullptr;
        }
    }
    return result;
}

void CMainDoc::RestorePart(const std::string& path, CPartObject* part) {
    if (m_progress) {
        ++m_restoreCounter;
        const std::size_t total = m_sceneFilePartCount ? m_sceneFilePartCount : 1;
        m_progress->SetText(
            Percent("オブジェクトを読み込んでいます。(%d%%)", m_restoreCounter * 100 / total));
    }
    rm::Ref<rm::Frame> readerRoot;
    rm::Ref<rm::Frame> frame = ReadMesh(path, &readerRoot);
    if (!readerRoot) return;
    if (frame) {
        part->AdoptFrame(frame);
        ApplyColors(part);
    }
    m_allParts.push_back(part);
}

CPartObject* CMainDoc::BuildPart(const scene::PartRecord& record, CPartObject* parent, FrameSearch search,
                                 std::size_t at, std::vector<CPartObject*>* built) {
    auto owned = std::make_unique<CPartObject>();
    CPartObject* part = owned.get();
    part->TakeRecord(record);
    if (parent) {
        parent->InsertChildPart(std::move(owned), at);
    } else {
        const std::size_t position = std::min(at, m_topLevelParts.size());
        m_topLevelParts.insert(m_topLevelParts.begin() + static_cast<std::ptrdiff_t>(position), std::move(owned));
    }
    if (built) built->push_back(part);

    RestorePart(record.definitionPath, part);
    rm::Frame* searchStart = m_lpfRoot.Get();
    if (search == FrameSearch::ParentPart && parent && parent->GetFrame()) searchStart = parent->GetFrame();
    if (parent) part->m_figure = parent->m_figure;
    if (part->GetFrame())
        if (rm::Ref<rm::Frame> target = FindFrameByName(record.parentFrameName, searchStart)) {
            const auto& p = record.placement;
            // A figure's body hangs on the figure's root: the part is the figure's.
            if (const scene::Figure* figure = parent ? nullptr : FigureWithRoot(target.Get()))
                part->m_figure = figure->number;
            part->m_lastResult = target->AddChild(part->GetFrame());
            part->GetFrame()->SetPosition(target.Get(), p[0], p[1], p[2]);
            part->GetFrame()->SetOrientation(target.Get(), p[3], p[4], p[5], p[6], p[7], p[8]);
        }
    for (const scene::PartRecord& child : record.children) BuildPart(child, part, search, SIZE_MAX, built);
    return part;
}

void CMainDoc::ApplyColors(CPartObject* part) {
    if (!part) {
        const std::vector<CPartObject*> all = m_allParts;
        for (CPartObject* p : all) ApplyColors(p);
        return;
    }
    CMainApp* app = GetApp();
    for (const auto& color : part->ColorObjects()) {
        color->ApplyColor();
        std::string eye;
        if (color->m_generalName == scene::kRightEye)
            eye = app->GetSettingString("render", "eye_R", "");
        else if (color->m_generalName == scene::kLeftEye)
            eye = app->GetSettingString("render", "eye_L", "");
        else
            continue;
        if (eye == color->m_textureName || !app->m_lpD3DRM) continue;
        rm::Ref<rm::Texture> texture = app->m_lpD3DRM->LoadTexture(eye);
        if (!texture) continue;
        if (rm::Ref<rm::Frame> target = FindFrameByName(color->m_targetFrame, part->GetFrame()))
            for (const auto& visual : target->Visuals())
                if (auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get()))
                    mesh->SetTexture(texture.Get());
    }
}

void CMainDoc::LoadTreeDefinition(HTREEITEM parent, const std::string& name) {
    CPartsTree* tree = Tree();
    if (!tree) return;
    bool found = false;
    const std::string text = ReadArchiveText(name, &found);
    if (!found) {
        win::MessageBox(nullptr, "パーツ定義が見つかりません", "内部エラー");
    } else {
        for (const scene::TreeLine& line : scene::ParseTreeDefinition(text)) {
            const HTREEITEM item = tree->InsertItem(line.label, 8, 8, parent);
            if (!item) break;
            tree->SetCheck(item, true);
            m_lastInsertedItem = item;
            m_folderMap[item] = scene::WithBackslash(line.folder);
            if (line.hasFlags && !line.flags.empty()) m_flagsMap[item] = line.flags;
        }
    }
    tree->Expand(parent);
}

void CMainDoc::BuildSceneTree() {
    CPartsTree* tree = Tree();
    tree->DeleteAllItems();
    tree->SetItemHeight(16);
    tree->SetImageListAttached(true);
    LoadTreeDefinition(TVI_ROOT, "light.txt");
    for (const auto& figure : m_figures) InsertFigureItem(*figure, TVI_LAST);
    // Without an option definition there is no option item (not the figure's last entry).
    m_lastInsertedItem = 0;
    LoadTreeDefinition(TVI_ROOT, "option.txt");
    m_optionItem = m_lastInsertedItem;
}

void CMainDoc::InsertFigureItem(scene::Figure& figure, HTREEITEM after) {
    CPartsTree* tree = Tree();
    figure.item = tree->InsertItem(scene::FigureLabel(figure.number), 6, 6, TVI_ROOT, after);
    tree->SetCheck(figure.item, true);
    if (!figure.poseSetPath.empty()) LoadTreeDefinition(figure.item, scene::TreeDefinitionOf(figure.poseSetPath));
}

void CMainDoc::LoadPoseSet(const std::string& path) {
    ResetScene();
    CMainApp* app = GetApp();
    if (!Tree()) return;
    const std::optional<std::string> text = ReadPoseSetText(path);
    scene::Figure* figure = m_figures.empty() ? nullptr : m_figures.front().get();
    if (text && figure) {
        figure->poseSetPath = path;
        BuildSceneTree();
        LoadFigureParts(*figure, scene::ParsePoseSet(*text));
        CreateSceneLights();
        win::SendMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, figure->item);
    }
    app->SetSettingFloat("view", "field", 4.0f);
    win::SendMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
    win::PostMessage(app->m_p3DView, win::WM_SETTINGS_CHANGED);
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
}

void CMainDoc::LoadFigureParts(scene::Figure& figure, const std::vector<std::string>& parts) {
    scene::ProgressScope progress(m_progressFactory, m_progress);
    (*progress).SetTitle("処理中");
    for (std::size_t i = 0; i < parts.size(); ++i) {
        (*progress).SetText(Percent("オブジェクトを読み込んでいます。 (%d%%)", i * 100 / parts.size()));
        if (parts[i].empty()) continue;
        m_currentItemTag = FindItemByFolder(parts[i], &figure);
        LoadPart(parts[i], nullptr, figure.root.Get(), figure.number);
        m_currentItemTag = 0;
    }
}

void CMainDoc::ApplySelection(const std::string& path, const std::string& entryName) {
    CPartsTree* tree = Tree();
    if (!tree) return;
    CMainApp* app = GetApp();
    HTREEITEM item = tree->GetSelectedItem();
    // A part added under an entry that adds parts shows that entry's list: what is chosen there is
    // added beside it.
    if (m_partMap.count(item) != 0)
        if (const auto flags = m_flagsMap.find(tree->GetParentItem(item));
            flags != m_flagsMap.end() && scene::FlagsAddParts(flags->second))
            item = tree->GetParentItem(item);
    scene::Figure* figure = FigureOfItem(item);
    if (figure && item == figure->item && scene::IsPoseSetPath(path)) {
        if (figure->poseSetLoaded &&
            win::MessageBox(nullptr,
                            "編集内容が破棄されます。よろしいですか？\n（この処理は環境によって時間がかかる場"
                            "合があります）",
                            "基本ポーズの読み込み", win::Buttons::OkCancel, win::Icon::Warning) != win::IDOK)
            return;
        // One figure: a new scene of the pose set, as ever. One of several: only that figure.
        if (m_figures.size() > 1) {
            ReplaceFigurePoseSet(*figure, path);
            return;
        }
        LoadPoseSet(path);
        if (!m_figures.empty()) m_figures.front()->poseSetLoaded = true;
        SetModifiedFlag();
        return;
    }
    {
        scene::ProgressScope progress(m_progressFactory, m_progress);
        (*progress).SetTitle("処理中");
        (*progress).SetText("3Dオブジェクトの読み込み中");
        auto flags = m_flagsMap.find(item);
        if (item != 0 && flags != m_flagsMap.end() && scene::FlagsAddParts(flags->second)) {
            if (!tree->ItemHasChildren(item)) {
                rm::Frame* frame = nullptr;
                if (item == m_optionItem)
                    frame = m_lpfOption.Get();
                else if (CPartObject* owner = FindPartByItem(item))
                    frame = owner->GetFrame();
                if (frame) {
                    // The option frame's own place is where a new scene's figure stands.
                    frame->SetPosition(nullptr, 0, 0, frame == m_lpfOption.Get() ? kFigureDistance : 0.0f);
                    frame->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
                }
            }
            const HTREEITEM added = tree->InsertItem(scene::kLoadingLabel, item);
            tree->Expand(item);
            tree->EnsureVisible(added);
            tree->SelectItem(added);
            tree->SetCheck(added, true);
            if (CPartObject* part = LoadPart(path, nullptr, m_lpfOption.Get())) {
                const std::size_t cut = cp932::FindChar(entryName, '\\');
                tree->SetItemText(added, entryName.substr(0, cut));
                m_partMap[added] = part;
                SetModifiedFlag();
                win::PostMessage(app->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, added);
            } else {
                // Nothing was added: no placeholder item stays behind without a part.
                tree->DeleteItem(added);
                tree->SelectItem(item);
            }
        } else if (CPartObject* part = FindPartByItem(item)) {
            const scene::PartMesh before = MeshOf(*part);
            if (LoadPart(path, part, part->GetFrame() ? part->GetFrame()->Parent() : nullptr, part->m_figure)) {
                SetModifiedFlag();
                if (m_meshReplaced) m_meshReplaced(*part, before);
            }
        }
    }
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
    win::PostMessage(app->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, tree->GetSelectedItem());
}

HTREEITEM CMainDoc::FindItemByFolder(std::string_view path, const scene::Figure* figure) const {
    const std::string folder = scene::FolderOf(path);
    for (const auto& [item, itemFolder] : m_folderMap)
        if (scene::FoldersMatch(itemFolder, folder) && (!figure || FigureOfItem(item) == figure)) return item;
    return 0;
}

HTREEITEM CMainDoc::FindItemByLabel(std::string_view label, const scene::Figure* figure) const {
    CPartsTree* tree = Tree();
    if (!tree) return 0;
    for (const auto& [item, folder] : m_folderMap)
        if (tree->GetItemText(item) == label && (!figure || FigureOfItem(item) == figure)) return item;
    return 0;
}
