#pragma once
// The File menu's pose commands: ポーズの保存... writes the figure's pose to a pose file (*.mrp),
// ポーズの読み込み... puts the figure into the pose of one as a single undo step of the edit view.

#include <string>

class CMainFrame;
class CMainDoc;
class C3DView;

void BindPoseCommands(CMainFrame& frame, C3DView& view, CMainDoc& doc);

// The commands as the frame runs them after the chooser (also for tests). Each returns whether it
// succeeded; failures have told the person why.
bool SavePoseFile(CMainDoc& doc, const std::string& path);
bool LoadPoseFile(C3DView& view, CMainDoc& doc, const std::string& path);
