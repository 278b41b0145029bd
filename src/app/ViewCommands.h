#pragma once
// Connects the main frame's commands that act through the edit view: render and joint smoothing
// (through the edit camera), the main view's commands, opening a pose set from a list, and the toolbar refresh after the
// view's editing commands. Also the start-up's scene: the file or pose set of the command line.

#include <functional>
#include <string>

#include "render/command/RenderCommand.h"

class C3DView;
class CMainDoc;
class CMainFrame;
class CMainView;

// Lets a caller change the render context before each render (tests answer the dialog and record
// the viewer instead of starting it).
using RenderContextAdjust = std::function<void(RenderSceneContext&)>;

void BindViewCommands(CMainFrame& frame, C3DView& view, CMainDoc& doc, RenderContextAdjust adjust = {});

// The render context of the edit view's camera and view root, the document's scene and the frame.
RenderSceneContext MakeRenderContext(CMainFrame& frame, C3DView& view, CMainDoc& doc);

// The commands of the main view: the File menu's render (through the edit view) and the toolbar's
// apply-collection; the main view refreshes the frame's toolbar after a tab change.
void BindMainViewCommands(CMainFrame& frame, CMainView& view);

// Loads a pose set by its archive name (code page 932) as the character's list entry would, with
// the usual question when a figure was loaded before.
void LoadPoseSetEntry(CMainDoc& doc, const std::string& path, const std::string& entryName);
// A pose set as another figure of the scene (as the first, into a scene whose one figure has none).
void AddFigureEntry(CMainDoc& doc, const std::string& path, const std::string& entryName);

// The scene of the command line after start-up: the tree is prepared, then the scene file opens
// (and joins the recent files) or the pose set (UTF-8 name) loads. Empty names open nothing.
void OpenStartupScene(CMainFrame& frame, CMainDoc& doc, const std::string& sceneFile, const std::string& poseSet);
