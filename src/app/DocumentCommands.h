#pragma once
// Connects the main frame's file commands (New, Open, Save, Save As, the recent-file list and file
// drops) to the scene document, and gives the document the application's progress window and the
// frame's toolbar refresh. New, Open, a drop and closing the window first offer to save unsaved
// changes.

#include <string>

class CMainFrame;
class CMainDoc;

void BindDocumentCommands(CMainFrame& frame, CMainDoc& doc);

// The file commands as the frame runs them (also for tests). Each returns whether it succeeded.
bool OpenSceneFile(CMainFrame& frame, CMainDoc& doc, const std::string& path);
bool SaveSceneFile(CMainFrame& frame, CMainDoc& doc, bool askForName);
// Opens a recovery copy as the unsaved state of `scenePath` ("" for a scene never saved).
bool RestoreSceneFile(CMainFrame& frame, CMainDoc& doc, const std::string& recoveryPath, const std::string& scenePath);
// Before a scene with unsaved changes is let go: asks "変更を保存しますか?" and saves on Yes. False
// when the action should not go on (Cancel, or a save cancelled or failed).
bool SaveModified(CMainFrame& frame, CMainDoc& doc);
// The window title's document part: the scene's title, "*" after it while changes are unsaved.
std::string TitleWithMark(const CMainDoc& doc);
