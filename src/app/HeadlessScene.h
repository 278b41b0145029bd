#pragma once
// A scene without any window: the archive beside the executable, the library objects, a parts
// tree and a document, wired into the application object the way start-up and the main view wire
// them. The command line renders through it; tests and benchmarks load the sample library with it.

#include <memory>
#include <ostream>
#include <string>

#include "platform/rm/DeviceObjects.h"
#include "render/pipeline/RenderPipeline.h"
#include "scene/CameraViews.h"

class CMainDoc;
class CPartsTree;

class CHeadlessScene {
public:
    // `programFolder` is the program's folder, ending in "/"; the application folder follows from it
    // (CMainApp::SetProgramFolder) and holds the archive volumes and drive.dat. The settings start
    // from their defaults: of profile.dat only the clipping planes and the blit switch are taken,
    // values no session changes (see HeadlessScene.cpp), and it is never written. Progress lines go
    // to `progress`.
    CHeadlessScene(const std::string& programFolder, std::ostream& progress);
    ~CHeadlessScene();
    CHeadlessScene(const CHeadlessScene&) = delete;
    CHeadlessScene& operator=(const CHeadlessScene&) = delete;

    // A pose set by its archive name (UTF-8); false when it brought no part.
    bool LoadPoseSet(const std::string& name);
    // Another figure of a pose set, beside the others; false when it brought no parts.
    bool AddFigure(const std::string& name);
    bool OpenSceneFile(const std::string& path);
    // One mesh file from disk (not the archive) with the scene lights: the file's root frame hangs
    // at the character root, turned to face the camera and placed straight ahead, and the lens is
    // chosen so that the mesh's box fills about two thirds of the picture's height (the render
    // size and clipping planes of the settings at the time of the call; the back plane moves out
    // when the box reaches past it). False, after a message, when the file cannot be read, the
    // mesh reader refuses its form or it holds no mesh.
    bool LoadPartFile(const std::string& path);
    // The camera looks from a standard view at every shown part, framed as the edit view's 全体を表示
    // frames them, for the render size and lens of the settings.
    void LookFrom(scene::StandardView view);
    // True when the picture at `path` loads as a render background.
    bool CanReadPicture(const std::string& path) const;
    // Joint smoothing of the skin meshes, without any abort.
    void SmoothJoints();

    CMainDoc& Document() { return *m_document; }
    // A render request through the edit view's camera: a child of the view root at the origin
    // (looking down +z), with the application's settings.
    RenderRequest MakeRenderRequest(ProgressSink* progress);

private:
    std::ostream& m_progress;
    rm::DeviceObjects m_devices;
    std::unique_ptr<CPartsTree> m_tree;
    std::unique_ptr<CMainDoc> m_document;
    rm::Ref<rm::Frame> m_viewRoot;
    rm::Ref<rm::Frame> m_camera;
    rm::Ref<rm::Frame> m_partFile;
};

// Progress for a run without windows: one line per stage (each new title or text), never one
// per percent.
class StageProgress final : public ProgressSink {
public:
    explicit StageProgress(std::ostream& out) : m_out(out) {}
    void SetTitle(const std::string& text) override { Print(text); }
    void SetText(const std::string& text) override { Print(text); }
    void SetRange(int, int) override {}
    void SetPos(int) override {}

private:
    void Print(const std::string& text);
    std::ostream& m_out;
    std::string m_last;
};
