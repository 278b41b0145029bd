#include "scene/SceneFile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/MainApp.h"
#include "base/ArchiveStream.h"
#include "platform/rm/Library.h"
#include "scene/MainDoc.h"
#include "scene/PartIndexTable.h"
#include "scene/SceneLights.h"
#include "scene/SceneTexts.h"

namespace {

std::size_t CountParts(const CMainDoc& doc) {
    std::size_t n = 0;
    for (const auto& top : doc.TopLevelParts()) top->ForEachInTree([&n](CPartObject*) { ++n; });
    return n;
}

// The document's own frames in the order of the frames block, each with the frame the document
// hangs it on.
struct SavedFrame {
    rm::Frame* frame;
    rm::Frame* home;
};
std::array<SavedFrame, scene::kSavedFrameCount> SavedFrames(const CMainDoc& doc) {
    return {{{doc.GetCharacterRootFrame(), doc.GetSceneFrame()},
             {doc.GetSceneFrame(), doc.GetRootFrame()},
             {doc.GetOptionFrame(), doc.GetSceneFrame()}}};
}

// The placement a saved frame has in its home. A frame that hangs elsewhere for the moment (the
// scene frame under the pivot of a scene-wide drag) is taken where it is in the world, so a file
// written in the middle of a drag holds what the person sees.
void GetSavedPlacement(const SavedFrame& saved, rm::Vector& position, rm::Vector& direction, rm::Vector& up) {
    const rm::Frame* reference = saved.frame->Parent() == saved.home ? nullptr : saved.home;
    saved.frame->GetPosition(reference, &position);
    saved.frame->GetOrientation(reference, &direction, &up);
}

void WriteVector(StoringArchive& ar, const rm::Vector& v) {
    ar.WriteF32(v.x);
    ar.WriteF32(v.y);
    ar.WriteF32(v.z);
}

void ReadVector(LoadingArchive& ar, float (&v)[3]) {
    for (float& f : v) f = ar.ReadF32();
}

// Empties the part index table when a write is over (it points at parts).
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
    ar.WriteString(doc.GetPoseSetPath());

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
    for (const SavedFrame& saved : SavedFrames(doc)) {
        rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
        if (saved.frame) GetSavedPlacement(saved, position, direction, up);
        WriteVector(ar, position);
        WriteVector(ar, direction);
        WriteVector(ar, up);
    }
    for (const float* v : {doc.CameraPlacement().position, doc.CameraPlacement().direction, doc.CameraPlacement().up})
        for (int i = 0; i < 3; ++i) ar.WriteF32(v[i]);
    ar.WriteU32(static_cast<std::uint32_t>(doc.Figures().size()));
    for (const auto& figure : doc.Figures()) {
        ar.WriteI32(figure->number);
        ar.WriteString(figure->poseSetPath);
        ar.WriteU8(figure->poseSetLoaded ? 1 : 0);
        rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
        if (figure->root) GetSavedPlacement({figure->root.Get(), doc.GetSceneFrame()}, position, direction, up);
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
        const scene::Figure* figure = doc.FigureOfItem(tree->GetParentItem(item));
        ar.WriteI32(figure ? figure->number : 0);
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
    if (version >= 3) {
        ReadVector(ar, header.camera.position);
        ReadVector(ar, header.camera.direction);
        ReadVector(ar, header.camera.up);
    }
    if (version >= 4) {
        const std::uint32_t count = ar.ReadU32();
        if (!ar.Ok() || count > ar.Remaining() / scene::kMinFigureEntrySize) return scene::SceneFileStatus::Damaged;
        header.figures.resize(count);
        for (scene::SceneHeader::FigureEntry& figure : header.figures) {
            figure.number = ar.ReadI32();
            // Numbers name figures: each one once, from 1 on (a bound keeps the labels short).
            const bool taken = std::any_of(header.figures.data(), &figure, [&figure](const auto& other) {
                return other.number == figure.number;
            });
            if (figure.number < 1 || figure.number > 9999 || taken) return scene::SceneFileStatus::Damaged;
            figure.poseSet = ar.ReadString();
            figure.poseSetLoaded = ar.ReadU8() != 0;
            ReadVector(ar, figure.root.position);
            ReadVector(ar, figure.root.direction);
            ReadVector(ar, figure.root.up);
        }
    } else {
        // One figure: the pose set of the header, the character root's placement.
        header.figures = {{1, header.poseSet, !header.poseSet.empty(), header.frames[0]}};
    }
    if (!ar.Ok() || header.partCount > ar.Remaining() / scene::kMinPartRecordSize)
        return scene::SceneFileStatus::Damaged;
    return scene::SceneFileStatus::Ok;
}

scene::SceneFileStatus CSceneFile::Read(std::span<const std::uint8_t> bytes, scene::SceneContent& content) {
    LoadingArchive ar(bytes);
    content = {};
    const scene::SceneFileStatus status = ReadHeader(ar, content.header);
    if (status != scene::SceneFileStatus::Ok) return status;
    constexpr auto kDamaged = scene::SceneFileStatus::Damaged;
    const std::uint32_t total = content.header.partCount;
    std::int32_t next = 0;
    if (!scene::ReadPartRecords(ar, ar.ReadU32(), total, next, content.parts)) return kDamaged;

    // Option and hidden entries name parts read above.
    auto known = [next](std::int32_t index) { return index >= 0 && index < next; };
    const std::uint32_t optionCount = ar.ReadU32();
    if (!ar.Ok() || optionCount > ar.Remaining() / scene::kMinOptionEntrySize) return kDamaged;
    content.options.resize(optionCount);
    for (scene::OptionEntry& option : content.options) {
        option.index = ar.ReadI32();
        option.parentLabel = ar.ReadString();
        option.label = ar.ReadString();
        if (content.header.version >= 4) option.figure = ar.ReadI32();
        if (!ar.Ok() || !known(option.index)) return kDamaged;
    }
    const std::uint32_t hiddenCount = ar.ReadU32();
    if (!ar.Ok() || hiddenCount > ar.Remaining() / scene::kHiddenEntrySize) return kDamaged;
    content.hidden.resize(hiddenCount);
    for (std::int32_t& index : content.hidden) {
        index = ar.ReadI32();
        if (!ar.Ok() || !known(index)) return kDamaged;
    }
    return ar.Ok() ? scene::SceneFileStatus::Ok : kDamaged;
}
