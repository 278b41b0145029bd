#include "scene/SceneFile.h"

#include <array>
#include <cmath>
#include <cstring>

#include "core/MainApp.h"
#include "base/ArchiveStream.h"
#include "platform/rm/Library.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "scene/PartIndexTable.h"
#include "scene/ProgressScope.h"
#include "scene/SceneLights.h"
#include "scene/SceneTexts.h"

namespace {

std::size_t CountParts(const CMainDoc& doc) {
    std::size_t n = 0;
    for (const auto& top : doc.TopLevelParts()) top->ForEachInTree([&n](CPartObject*) { ++n; });
    return n;
}

// The document's own frames in the order of the frames block.
std::array<rm::Frame*, scene::kSavedFrameCount> SavedFrames(const CMainDoc& doc) {
    return {doc.GetCharacterRootFrame(), doc.GetSceneFrame(), doc.GetOptionFrame()};
}

void WriteVector(StoringArchive& ar, const rm::Vector& v) {
    ar.WriteF32(v.x);
    ar.WriteF32(v.y);
    ar.WriteF32(v.z);
}

void ReadVector(LoadingArchive& ar, float (&v)[3]) {
    for (float& f : v) f = ar.ReadF32();
}

bool IsFinite(const float (&v)[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// An axis as the file may give it. Saved axes are unit vectors; the bound keeps the products that
// SetOrientation forms finite. Beyond about 1e19 they overflow: with up (3e38, 3e38, 1) and
// direction (1, 1, 0) the part of up along the direction is infinite, its z is 0 × infinity, the
// test for an up parallel to the direction compares a NaN and NaN axes get into the frame. Zero and
// parallel axes SetOrientation refuses itself.
bool IsUsableAxis(const float (&v)[3]) {
    constexpr float kLargest = 1e6f;
    return IsFinite(v) && std::fabs(v[0]) <= kLargest && std::fabs(v[1]) <= kLargest &&
           std::fabs(v[2]) <= kLargest;
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

// Empties the part index table when a read or write is over (it points at parts).
struct TableScope {
    ~TableScope() { CPartIndexTable::Instance().Prepare(0); }
};

}  // namespace

std::vector<std::uint8_t> CSceneFile::Write(CMainDoc& doc) {
    CMainApp* app = GetApp();
    StoringArchive ar;
    ar.WriteBytes(std::string_view(scene::kSceneSignature, sizeof scene::kSceneSignature));
    ar.WriteU32(scene::kSceneVersion);
    const std::size_t partCount = CountParts(doc);
    ar.WriteU32(static_cast<std::uint32_t>(partCount));
    ar.WriteString(doc.m_poseSetPath);

    rm::Library* library = app->m_lpD3DRM;
    const bool hasLights = library && library->GetNamedObject(scene::kSceneLights[0].name);
    ar.WriteU8(hasLights ? 1 : 0);
    if (hasLights)
        for (const scene::LightDefinition& definition : scene::kSceneLights) {
            auto light = rm::RefCast<rm::Light>(library->GetNamedObject(definition.name));
            ar.WriteU32(light ? (light->GetColor() & 0xFFFFFFu) : definition.color);
        }
    ar.WriteF32(app->GetSettingFloat("view", "field", 4.0f));
    ar.WriteString(app->GetSettingString("render", "eye_L", ""));
    ar.WriteString(app->GetSettingString("render", "eye_R", ""));
    ar.WriteString(app->GetSettingString("render", "bg", ""));
    ar.WriteI32(app->GetSettingInt("bg", "edit", 0));
    ar.WriteI32(app->GetSettingInt("bg", "render", 0));
    for (rm::Frame* frame : SavedFrames(doc)) {
        rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
        if (frame) {
            frame->GetPosition(nullptr, &position);
            frame->GetOrientation(nullptr, &direction, &up);
        }
        WriteVector(ar, position);
        WriteVector(ar, direction);
        WriteVector(ar, up);
    }

    TableScope scope;
    CPartIndexTable& table = CPartIndexTable::Instance();
    table.Prepare(partCount);
    ar.WriteU32(static_cast<std::uint32_t>(doc.m_topLevelParts.size()));
    for (const auto& part : doc.m_topLevelParts) part->Serialize(ar, table);

    CPartsTree* tree = doc.Tree();
    std::vector<std::pair<HTREEITEM, CPartObject*>> options;
    if (tree)
        for (const auto& [item, part] : doc.m_partMap)
            if (tree->Exists(item)) options.emplace_back(item, part);
    ar.WriteU32(static_cast<std::uint32_t>(options.size()));
    for (const auto& [item, part] : options) {
        ar.WriteI32(part->m_serialIndex);
        ar.WriteString(tree->GetItemText(tree->GetParentItem(item)));
        ar.WriteString(tree->GetItemText(item));
    }

    std::vector<std::int32_t> hidden;
    for (const auto& top : doc.m_topLevelParts)
        top->ForEachInTree([&hidden](CPartObject* p) {
            if (!p->IsVisible()) hidden.push_back(p->m_serialIndex);
        });
    ar.WriteU32(static_cast<std::uint32_t>(hidden.size()));
    for (std::int32_t index : hidden) ar.WriteI32(index);
    return ar.TakeBytes();
}

scene::SceneFileStatus CSceneFile::ReadHeader(LoadingArchive& ar, scene::SceneHeader& header) {
    const std::string signature = ar.ReadBytes(sizeof scene::kSceneSignature);
    if (!ar.Ok() || std::memcmp(signature.data(), scene::kSceneSignature, sizeof scene::kSceneSignature) != 0)
        return scene::SceneFileStatus::Foreign;
    const std::uint32_t version = ar.ReadU32();
    if (!ar.Ok()) return scene::SceneFileStatus::Damaged;
    // A version this reader does not know is reported as one of a newer program (0 never existed).
    if (version < scene::kOldestSceneVersion || version > scene::kSceneVersion)
        return scene::SceneFileStatus::NewerVersion;
    header.version = version;
    header.partCount = ar.ReadU32();
    header.poseSet = ar.ReadString();
    header.hasLights = ar.ReadU8() != 0;
    if (header.hasLights)
        for (std::uint32_t& color : header.lightColors) color = ar.ReadU32() & 0xFFFFFFu;
    header.field = ar.ReadF32();
    header.eyeL = ar.ReadString();
    header.eyeR = ar.ReadString();
    header.background = ar.ReadString();
    header.bgEdit = ar.ReadI32();
    header.bgRender = ar.ReadI32();
    header.hasFramePlacements = version >= 2;
    if (header.hasFramePlacements)
        for (scene::FramePlacement& frame : header.frames) {
            ReadVector(ar, frame.position);
            ReadVector(ar, frame.direction);
            ReadVector(ar, frame.up);
        }
    if (!ar.Ok() || header.partCount > ar.Remaining() / scene::kMinPartRecordSize)
        return scene::SceneFileStatus::Damaged;
    return scene::SceneFileStatus::Ok;
}

bool CSceneFile::ReadBody(CMainDoc& doc, LoadingArchive& ar, const scene::SceneHeader& header) {
    CMainApp* app = GetApp();
    app->SetSettingFloat("view", "field", header.field);
    app->SetSettingString("render", "eye_L", doc.ResolveAssetPath(header.eyeL));
    app->SetSettingString("render", "eye_R", doc.ResolveAssetPath(header.eyeR));
    app->SetSettingString("render", "bg", doc.ResolveAssetPath(header.background));
    app->SetSettingInt("bg", "edit", header.bgEdit);
    app->SetSettingInt("bg", "render", header.bgRender);

    CPartsTree* tree = doc.Tree();
    if (tree && !header.poseSet.empty()) {
        doc.BuildSceneTree(header.poseSet);
    } else if (tree) {
        doc.m_characterItem = 0;
        tree->DeleteAllItems();
        doc.m_characterItem = tree->InsertItem(scene::kCharacterLabel, 6, 6, TVI_ROOT);
        tree->SetCheck(doc.m_characterItem, true);
    }
    doc.m_poseSetPath = header.poseSet;

    TableScope scope;
    CPartIndexTable& table = CPartIndexTable::Instance();
    table.Prepare(header.partCount);
    doc.m_sceneFilePartCount = header.partCount;
    doc.m_restoreCounter = 0;
    const std::uint32_t topCount = ar.ReadU32();
    if (!ar.Ok() || topCount > ar.Remaining() / scene::kMinPartRecordSize) return false;
    {
        scene::ProgressScope progress(doc.m_progressFactory, doc.m_progress);
        (*progress).SetTitle("処理中");
        for (std::uint32_t i = 0; i < topCount; ++i) {
            auto part = std::make_unique<CPartObject>();
            CPartObject* raw = part.get();
            doc.m_topLevelParts.push_back(std::move(part));
            if (!raw->Serialize(ar, doc, 0)) return false;
        }
    }

    const std::uint32_t optionCount = ar.ReadU32();
    if (!ar.Ok() || optionCount > ar.Remaining() / 6) return false;
    for (std::uint32_t i = 0; i < optionCount; ++i) {
        CPartObject* part = table.At(ar.ReadI32());
        const std::string parentLabel = ar.ReadString();
        const std::string label = ar.ReadString();
        if (!ar.Ok() || !part) return false;
        const HTREEITEM parent = tree ? doc.FindItemByLabel(parentLabel) : 0;
        if (!parent) continue;  // the tree definitions no longer offer that entry
        const HTREEITEM item = tree->InsertItem(label, parent);
        tree->SetCheck(item, true);
        tree->Expand(parent);
        doc.m_partMap[item] = part;
    }

    std::vector<CPartObject*> hiddenParts;
    const std::uint32_t hiddenCount = ar.ReadU32();
    if (!ar.Ok() || hiddenCount > ar.Remaining() / 4) return false;
    for (std::uint32_t i = 0; i < hiddenCount; ++i) {
        CPartObject* part = table.At(ar.ReadI32());
        if (!ar.Ok() || !part) return false;
        part->HideVisuals();
        hiddenParts.push_back(part);
    }
    if (!ar.Ok()) return false;

    // The parts sit in their frames by placements relative to those frames, so moving the frames
    // last keeps every part where it was seen.
    if (header.hasFramePlacements) {
        const auto frames = SavedFrames(doc);
        for (int i = 0; i < scene::kSavedFrameCount; ++i) PlaceSavedFrame(frames[i], header.frames[i]);
    }

    if (header.hasLights) doc.PlaceLights(false, header.lightColors);
    // The tree shows hidden parts unchecked, as the user left them.
    if (tree)
        for (const auto& [item, part] : doc.m_partMap)
            if (!part->IsVisible()) tree->SetCheck(item, false);
    if (tree)
        for (CPartObject* part : hiddenParts)
            if (HTREEITEM item = doc.FindItemByFolder(part->m_definitionPath);
                item && doc.FindPartByItem(item) == part)
                tree->SetCheck(item, false);

    win::SendMessage(app->m_pMainView, win::WM_SELECT_TREE_ITEM, doc.m_characterItem);
    win::SendMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
    win::PostMessage(app->m_p3DView, win::WM_SETTINGS_CHANGED);
    win::PostMessage(app->m_pMainView, win::WM_REFRESH);
    return true;
}
