#pragma once
// The scene document: the frames of the scene, the parts loaded into it and the maps that tie parts
// to the items of the scene tree. Split by concern:
//   MainDoc.cpp          construction, lookups, visibility, edit target
//   MainDoc_Parts.cpp    deleting, bringing back and swapping whole parts
//   MainDoc_Reset.cpp    ResetScene, ResolveAssetPath, the tree preparation
//   MainDoc_Loading.cpp  pose sets, tree and colour definitions, LoadPart, RestorePart, ApplySelection
//   MainDoc_File.cpp     New, Open and Save of scene files (framing in SceneFile.h)
//   SceneLights.cpp      the five scene lights
//
// Windows are reached only through the references of the application object and numbered window
// messages; the progress display, the toolbar refresh and the edit view's undo history are hooks
// that the application layer sets.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Frame.h"
#include "scene/Figure.h"
#include "scene/PartObject.h"
#include "scene/PartSnapshot.h"
#include "scene/SceneFile.h"
#include "scene/PartsTree.h"

class CCommunicator;

class CMainDoc {
  public:
    // How far ahead of the camera a new scene's figure stands (its root frame), in units.
    static constexpr float kFigureDistance = 55.0f;
    CMainDoc();
    ~CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // --- Life cycle (MainDoc_File.cpp, MainDoc_Reset.cpp) ---
    // The new-document command: an empty scene titled with the new-file base name.
    bool OnNewDocument();
    // Reads a scene file. False when it cannot be read (the scene stays), is not a scene file of
    // this system (the scene stays, a message says so) or is damaged (a message says so and the
    // scene is empty, never half built).
    bool OnOpenDocument(const std::string& path);
    // Writes the scene file through a temporary file renamed into place; false (with a message)
    // when it cannot be written, and the previous file is untouched.
    bool OnSaveDocument(const std::string& path);
    // Reads the recovery copy at `recoveryPath` as the unsaved state of the scene file `scenePath`
    // ("" for a scene never saved): titled and named after that file, marked changed. False as
    // OnOpenDocument.
    bool OnRestoreDocument(const std::string& recoveryPath, const std::string& scenePath);
    // Releases every part and frame while the 3D library objects still exist (main frame
    // destruction).
    void ReleaseAllParts();
    // The empty scene: no parts, no maps, default eye and background images, the four frames.
    void ResetScene();
    // The image file named by `path`, or found by its name in the data and setup folders; empty
    // when none exists.
    std::string ResolveAssetPath(const std::string& path) const;
    // The root entries of a new tree ("キャラクタ") when the character item is 0, then the pending
    // scene file of the command line.
    void PrepareTree();

    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }
    const std::string& GetPathName() const { return m_pathName; }
    bool IsModified() const { return m_modified; }
    // Marks the scene changed (or saved); the modified hook hears of every call.
    void SetModifiedFlag(bool modified = true) {
        m_modified = modified;
        if (modified) ++m_changeCount;
        if (m_modifiedHook) m_modifiedHook();
    }
    // Grows with every change marked, from 0 when the document is made: whoever keeps a copy of the
    // scene compares it with the count the copy was taken at.
    std::uint64_t ChangeCount() const { return m_changeCount; }

    // The new-file base name of the document type, the file filter and extension.
    static constexpr const char* kNewDocumentTitle = "Mariso";
    static constexpr const char* kFileFilter = "ｼｰﾝﾃﾞｰﾀ (*.mrs)";
    static constexpr const char* kDefaultExtension = ".mrs";

    // --- The model (MainDoc.cpp) ---
    // The part of that folder; of `figure`'s parts when one is given (figures share folder names),
    // else the first anywhere.
    CPartObject* FindPartByFolder(std::string_view path, const scene::Figure* figure = nullptr) const;
    CPartObject* FindPartByItem(HTREEITEM item) const;
    std::vector<rm::Ref<rm::Frame>> FindFramesByGeneralName(std::string_view generalName) const;
    void SetPartVisible(HTREEITEM item, int show);
    void CheckItem(HTREEITEM item);
    rm::Ref<rm::Frame> GetEditTarget();

    // --- Whole parts (MainDoc_Parts.cpp) ---
    // Deletes the part of the selected entry (a part made for an entry that adds parts) with the
    // parts below it: the undo history forgets every frame deleted, the deletion is told to the
    // part-deleted hook (an undo step) and the selection moves on to the next entry or the parent.
    // On a figure's own entry, the figure goes (DeleteFigure).
    bool DeleteSelectedPart();
    // The part whose frame has that name; null when none.
    CPartObject* PartWithFrame(std::string_view frameName) const;
    // What bringing the part back needs.
    scene::PartSnapshot SnapshotPart(CPartObject& part);
    // The part of a snapshot back in the scene, under its old names; null when the part it hung on
    // is gone.
    CPartObject* RestoreSnapshot(const scene::PartSnapshot& snapshot);
    // Takes a part made for an entry that adds parts out of the scene with the parts below it and
    // their entries; a selection on them moves on as in a tree control. Nothing is told to the
    // hooks (undo and redo use it).
    bool RemovePart(CPartObject& part);
    // The part's mesh, definition and placement as a swap would replace them.
    static scene::PartMesh MeshOf(const CPartObject& part);
    // The part with the mesh of `path` instead of its own, keeping its pose, colours and child
    // parts; then the frame takes `frameName` and `placement` when given. Nothing is told to the
    // hooks. False when the mesh cannot be loaded.
    bool ReplaceMesh(CPartObject& part, const scene::PartMesh& mesh);

    // --- Loading (MainDoc_Loading.cpp) ---
    // Loads a part (part null: a new one) of the figure `figure` (-1: the figure whose root is
    // `attachFrame`, if any): a new part in a nested folder hangs on a part of that figure (of any
    // part when there is none), and a new top-level part stands at that figure's root.
    CPartObject* LoadPart(const std::string& path, CPartObject* part, rm::Frame* attachFrame, int figure = -1);
    void RestorePart(const std::string& path, CPartObject* part);
    // Where a part built from a record looks for the frame it hangs on (the record's parent frame
    // name, compared without its "@" number): anywhere in the scene, first match in depth-first
    // order, as scene files have always been read; or under its parent part first (the scene
    // when it has none), so that a part brought back hangs on its own parent among equal ones.
    enum class FrameSearch { WholeScene, ParentPart };
    // A part made from a record, with the parts below it: placed under `parent` (or at the top
    // level) at position `at` of its list (at the end when past it), loaded from its definition,
    // coloured from the record, hung where the record says. Every part built is appended to
    // `built` in the record's pre-order when given.
    CPartObject* BuildPart(const scene::PartRecord& record, CPartObject* parent, FrameSearch search,
                           std::size_t at, std::vector<CPartObject*>* built);
    void LoadPoseSet(const std::string& path);
    void LoadTreeDefinition(HTREEITEM parent, const std::string& name);
    void ApplySelection(const std::string& path, const std::string& entryName);
    void ApplyColors(CPartObject* part);
    // The entry of a folder, or with a label, among the tree definitions' entries: within `figure`'s
    // item when one is given, else the first anywhere.
    HTREEITEM FindItemByFolder(std::string_view path, const scene::Figure* figure = nullptr) const;
    HTREEITEM FindItemByLabel(std::string_view label, const scene::Figure* figure = nullptr) const;

    // --- The edit camera's place, kept with the scene (saved, restored on Open) ---
    const scene::FramePlacement& CameraPlacement() const { return m_camera; }
    // The box around every shown part, in the scene's coordinates; nothing when no part shows.
    std::optional<rm::Box> VisiblePartsBox() const;
    // The box of one part (its own frames, not the parts hanging on it) in the scene's coordinates.
    static std::optional<rm::Box> PartBox(const CPartObject& part);
    // Where the edit view's camera stands now; looking around is no change of the scene.
    void NoteCameraPlacement(const scene::FramePlacement& placement) { m_camera = placement; }
    // Puts the camera somewhere (a new scene, a pose set, a file) and tells the camera hook.
    void PlaceCamera(const scene::FramePlacement& placement);

    // --- Lights (SceneLights.cpp) ---
    void CreateSceneLights();

    // --- State ---
    rm::Frame* GetRootFrame() const { return m_lpfRoot.Get(); }
    rm::Frame* GetSceneFrame() const { return m_lpfScene.Get(); }
    // The first figure's root frame, item and pose set (null, 0 and "" without a figure): what the
    // scene of one figure calls "the character".
    rm::Frame* GetCharacterRootFrame() const { return m_figures.empty() ? nullptr : m_figures.front()->root.Get(); }
    rm::Frame* GetOptionFrame() const { return m_lpfOption.Get(); }
    rm::Frame* GetCurrentFrame() const { return m_lpfCurrent.Get(); }
    const std::vector<std::unique_ptr<CPartObject>>& TopLevelParts() const { return m_topLevelParts; }
    const std::vector<CPartObject*>& AllParts() const { return m_allParts; }
    const std::map<HTREEITEM, std::string>& FolderMap() const { return m_folderMap; }
    const std::map<HTREEITEM, CPartObject*>& PartMap() const { return m_partMap; }
    const std::map<HTREEITEM, std::string>& FlagsMap() const { return m_flagsMap; }
    HTREEITEM GetOptionItem() const { return m_optionItem; }
    HTREEITEM GetCharacterItem() const { return m_figures.empty() ? 0 : m_figures.front()->item; }
    HTREEITEM GetLastInsertedItem() const { return m_lastInsertedItem; }
    const std::string& GetPoseSetPath() const;

    // --- Figures (MainDoc_Figures.cpp) ---
    const std::vector<std::unique_ptr<scene::Figure>>& Figures() const { return m_figures; }
    scene::Figure* FigureNumbered(int number) const;
    // The figure whose category item is `item` or holds it; null for other items.
    scene::Figure* FigureOfItem(HTREEITEM item) const;
    // The figure a part belongs to (its own, or its top-level ancestor's); null for props, markers.
    scene::Figure* FigureOfPart(const CPartObject& part) const;
    // The figure of a root frame; null for any other frame.
    scene::Figure* FigureWithRoot(const rm::Frame* frame) const;
    // The top-level part of a figure (its body), null when none is loaded.
    CPartObject* FigureRootPart(const scene::Figure& figure) const;
    // Which parts share one colour per general name with `part`: every part while the scene holds
    // one figure (nothing), else the parts of its figure (0: the props).
    std::optional<int> ColourGroupOf(const CPartObject& part) const;
    static bool InColourGroup(const CPartObject& part, std::optional<int> group) {
        return !group || part.m_figure == *group;
    }
    // The figure the selected entry belongs to (its item, a part of it, a prop on it), else the
    // first figure: what the commands that act on "the figure" act on. Null without figures.
    scene::Figure* SelectedFigure() const;
    // The box around a figure's parts in the scene's coordinates; nothing without parts.
    std::optional<rm::Box> FigureBox(const scene::Figure& figure) const;
    // A new figure of a pose set (the next number), standing to the right of what the scene shows
    // on the floor of the other figures, selected; told to the figure hook (an undo step). Null at
    // kMaxFigures figures or when the pose set is not in the archive (a message says so).
    scene::Figure* AddFigureFromPoseSet(const std::string& path);
    // What bringing a figure back needs.
    scene::FigureSnapshot SnapshotFigure(scene::Figure& figure);
    // Takes a figure out of the scene with its parts, the props on them and its entries; the
    // selection moves on when it was in the figure. Nothing is told to the hooks.
    bool RemoveFigure(scene::Figure& figure);
    // A figure of a snapshot back in the scene, under its number and names; null when a figure of
    // that number exists or the scene is full. Nothing is told to the hooks.
    scene::Figure* RestoreFigure(const scene::FigureSnapshot& snapshot);
    // The person's Delete on a figure's entry: after a question naming the figure, it goes (an undo
    // step); false when the person said no.
    bool DeleteFigure(scene::Figure& figure);
    // Another pose set for one figure of several: its parts go and the pose set's parts stand where
    // they stood, under the same number and entry (one undo step).
    bool ReplaceFigurePoseSet(scene::Figure& figure, const std::string& path);
    // The scene tree registered with the application object (null when no one hosts one).
    CPartsTree* Tree() const;

    // --- Hooks of the application layer ---
    // Makes the progress display of a long operation (shown while the object lives). Without one
    // the document reports progress to no one.
    void SetProgressFactory(std::function<std::unique_ptr<ProgressSink>()> factory) {
        m_progressFactory = std::move(factory);
    }
    // The main frame's refresh of its toolbar states (after a reset).
    void SetToolbarRefresh(std::function<void()> refresh) { m_toolbarRefresh = std::move(refresh); }
    // The edit view's ForgetFrame (before a part is deleted).
    void SetForgetFrame(std::function<void(rm::Frame*)> forget) { m_forgetFrame = std::move(forget); }
    // The edit view's reset of its undo history and drag (before the scene's frames are let go).
    void SetSceneResetHook(std::function<void()> hook) { m_sceneReset = std::move(hook); }
    // Told of a figure the person added, removed or gave another pose set, with what it was before
    // (nothing for a figure that was not there): an undo step.
    void SetFigureHook(std::function<void(int, std::optional<scene::FigureSnapshot>)> hook) {
        m_figureChanged = std::move(hook);
    }
    // Told of every placement the document gives the camera (the edit view moves its camera there).
    void SetCameraHook(std::function<void(const scene::FramePlacement&)> hook) { m_cameraHook = std::move(hook); }
    // Told of a part deleted by the person, with what brings it back (an undo step).
    void SetPartDeletedHook(std::function<void(scene::PartSnapshot)> hook) { m_partDeleted = std::move(hook); }
    // Told of a part whose mesh the person swapped, with the mesh it had before (an undo step).
    void SetMeshReplacedHook(std::function<void(CPartObject&, scene::PartMesh)> hook) {
        m_meshReplaced = std::move(hook);
    }
    // The main frame's refresh of its title's unsaved-changes mark.
    void SetModifiedHook(std::function<void()> hook) { m_modifiedHook = std::move(hook); }
    // The data archive the parts are read from (the application's archive set unless set).
    void SetArchive(CCommunicator* archive) { m_archive = archive; }
    CCommunicator& Archive() const;

    // Part records (PartObject_Serialize.cpp) reach the document through these.
    void AdoptTopLevelPart(std::unique_ptr<CPartObject> part) { m_topLevelParts.push_back(std::move(part)); }
    std::size_t SceneFilePartCount() const { return m_sceneFilePartCount; }

  private:
    friend class CSceneFile;

    // A figure of that number without parts, its root 55 units ahead of the camera (MainDoc_Figures.cpp).
    scene::Figure& AddFigure(int number);
    // Takes every figure's root frame out of the scene and forgets the figures (their parts are
    // the caller's to have cleared).
    void DropFigures();
    // Loads the parts of a pose set into a figure (its entries already in the tree).
    void LoadFigureParts(scene::Figure& figure, const std::vector<std::string>& parts);
    // The selection after a figure came or went: `item`, with the pages told (the caller posts the
    // refresh).
    void SelectAfterFigureChange(HTREEITEM item);
    // Loading helpers.
    std::string ReadArchiveText(const std::string& name, bool* found) const;
    // A pose set's text from the archive; nothing, after a message naming it, when it is missing.
    std::optional<std::string> ReadPoseSetText(const std::string& path) const;
    rm::Ref<rm::Frame> ReadMesh(const std::string& path, rm::Ref<rm::Frame>* readerRoot);
    // The tree of the scene: the lights, every figure's item with its pose set's entries, the props.
    void BuildSceneTree();
    // A figure's category item with the entries of its pose set's tree definition, after `after`.
    void InsertFigureItem(scene::Figure& figure, HTREEITEM after);
    void PlaceLights(bool placeMarkers, const std::uint32_t* colors);
    void ForgetPart(CPartObject* part);
    void ClearSceneState();
    void Publish();

    std::vector<std::unique_ptr<CPartObject>> m_topLevelParts;
    std::vector<CPartObject*> m_allParts;
    // Keyed by tree item handle; handles grow with insertion, so walking a map is insertion order.
    std::map<HTREEITEM, std::string> m_folderMap;
    std::map<HTREEITEM, CPartObject*> m_partMap;
    std::map<HTREEITEM, std::string> m_flagsMap;
    rm::Ref<rm::Frame> m_lpfRoot;
    rm::Ref<rm::Frame> m_lpfCurrent;
    rm::Ref<rm::Frame> m_lpfScene;
    rm::Ref<rm::Frame> m_lpfOption;
    std::vector<rm::Ref<rm::Object>> m_extraObjects;
    HTREEITEM m_optionItem = 0;
    HTREEITEM m_lastInsertedItem = 0;

    // The tree item whose part is being loaded (every frame of the part carries it), the progress
    // display of the operation under way, and the part counter of a scene file being read.
    HTREEITEM m_currentItemTag = 0;
    ProgressSink* m_progress = nullptr;
    std::size_t m_sceneFilePartCount = 0;
    std::size_t m_restoreCounter = 0;
    // The scene's figures, by number; a new scene has figure 1 without parts.
    std::vector<std::unique_ptr<scene::Figure>> m_figures;

    std::function<std::unique_ptr<ProgressSink>()> m_progressFactory;
    std::function<void()> m_toolbarRefresh;
    std::function<void(rm::Frame*)> m_forgetFrame;
    std::function<void()> m_sceneReset;
    std::function<void(scene::PartSnapshot)> m_partDeleted;
    std::function<void(const scene::FramePlacement&)> m_cameraHook;
    std::function<void(int, std::optional<scene::FigureSnapshot>)> m_figureChanged;
    std::function<void(CPartObject&, scene::PartMesh)> m_meshReplaced;
    std::function<void()> m_modifiedHook;
    CCommunicator* m_archive = nullptr;

    scene::FramePlacement m_camera;
    std::string m_title = kNewDocumentTitle;
    std::string m_pathName;
    bool m_modified = false;
    std::uint64_t m_changeCount = 0;
};
