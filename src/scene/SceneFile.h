#pragma once
// The scene file (*.mrs) around the part records. Layout, little-endian, strings counted:
//
//   signature   8 bytes  "MRSCENE" 0x1A (a foreign file is refused before the scene is touched)
//   version     u32      2 (1 is still read: a file without the frame placements below)
//   part count  u32      every part record of the file (sizes the part index table, drives the
//                        progress text of the reload)
//   pose set    str      the pose set the tree was built from ("" for a scene without one)
//   lights      u8       1 when the scene lights exist; then 5 × u32 colours 0x00RRGGBB of
//                        LIGHTOBJECT@0 ... LIGHTOBJECT@4
//   lens        f32      view/field
//   eye L, R    str × 2  render/eye_L, render/eye_R
//   background  str, i32, i32   render/bg, bg/edit, bg/render
//   frames      from version 2: 3 × (position, direction, up), 9 × f32 each, relative to the frame's
//               parent, of the document's own frames in this order: the character root "frm-_root"
//               (the first figure's, moved when the whole figure is dragged), the scene frame, the
//               option frame (its parent is the character root up to version 3, the scene frame from 4)
//   camera      from version 3: the edit camera's position, direction and up, 9 × f32, in the
//               view's root (the scene's coordinates); earlier files look from where a new scene does
//   figures     from version 4: u32 count, then per figure: i32 number, str pose set, u8 1 when a pose
//               set was loaded for it, 9 × f32 its root frame's placement in the scene frame; earlier
//               files hold figure 1 alone, the pose set above and the character root's placement
//   top level   u32 count, then the part records of the top-level parts in list order
//   options     u32 count, then per option part: i32 serial index, str label of the "ADD" entry it
//               was added under, str its own tree label; from version 4 also i32 the number of the
//               figure whose entry that is (0 for none)
//   hidden      u32 count, then i32 serial indices of the parts whose visuals are hidden
//
// Reading reproduces the tree from the pose set's tree definitions, then the parts, the option
// entries, the hidden parts and the lights with their colours, and last the placement of the
// document's own frames (a version-1 file leaves them where the reset put them). The file is read
// and checked whole first (every count against the bytes that remain), so a damaged file never
// reaches the open scene.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene/SceneRecords.h"

class CMainDoc;
class LoadingArchive;

namespace scene {

inline constexpr char kSceneSignature[8] = {'M', 'R', 'S', 'C', 'E', 'N', 'E', '\x1A'};
// Files are written in kSceneVersion; every version from kOldestSceneVersion on is read.
inline constexpr std::uint32_t kSceneVersion = 4;
inline constexpr std::uint32_t kOldestSceneVersion = 1;

// Where one of the document's own frames sits in its parent (GetPosition / GetOrientation with a
// null reference).
struct FramePlacement {
    float position[3] = {0, 0, 0};
    float direction[3] = {0, 0, 1};
    float up[3] = {0, 1, 0};
};
// The order of the frames block: character root, scene frame, option frame.
inline constexpr int kSavedFrameCount = 3;

struct SceneHeader {
    std::uint32_t version = kSceneVersion;
    std::uint32_t partCount = 0;
    std::string poseSet;
    bool hasLights = false;
    std::uint32_t lightColors[5] = {};
    float field = 4.0f;
    std::string eyeL, eyeR, background;
    std::int32_t bgEdit = 0, bgRender = 0;
    // Only a version-2 file carries the frames block.
    bool hasFramePlacements = false;
    FramePlacement frames[kSavedFrameCount];
    // From version 3, where the edit camera stood; a new scene's place before.
    FramePlacement camera;
    // Every figure (from version 4; one made of the fields above before).
    struct FigureEntry {
        std::int32_t number = 1;
        std::string poseSet;
        bool poseSetLoaded = false;
        FramePlacement root;
    };
    std::vector<FigureEntry> figures;
};

// Everything a scene file holds, read and checked, before any of it reaches a document.
struct SceneContent {
    SceneHeader header;
    std::vector<PartRecord> parts;  // the top-level parts, each with the parts below it
    std::vector<OptionEntry> options;
    std::vector<std::int32_t> hidden;  // indices of the parts whose visuals are hidden
};

enum class SceneFileStatus { Ok, Foreign, NewerVersion, Damaged };

}  // namespace scene

class CSceneFile {
  public:
    // The whole file image of the document's scene.
    static std::vector<std::uint8_t> Write(CMainDoc& doc);
    // Reads signature, version and header; the archive is left at the first part count.
    static scene::SceneFileStatus ReadHeader(LoadingArchive& ar, scene::SceneHeader& header);
    // Reads the whole file into `content` and checks it; touches no document, setting or window.
    static scene::SceneFileStatus Read(std::span<const std::uint8_t> bytes, scene::SceneContent& content);
    // Builds the scene of a reset document from checked content: the tree of the pose set, the
    // parts, the option entries, the hidden parts, the lights, the document's own frames and the
    // settings the file holds; then the windows are told (SceneBuild.cpp).
    static void Build(CMainDoc& doc, const scene::SceneContent& content);
};
