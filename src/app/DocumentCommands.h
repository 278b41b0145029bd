#pragma once
// Connects the main frame's file commands (New, Open, Save, Save As, the recent-file list and file
// drops) to the scene document, and gives the document the application's progress window and the
// frame's toolbar refresh.

#include <string>

class CMainFrame;
class CMainDoc;

void BindDocumentCommands(CMainFrame& frame, CMainDoc& doc);

// The file commands as the frame runs them (also for tests). Each returns whether it succeeded.
bool OpenSceneFile(CMainFrame& frame, CMainDoc& doc, const std::string& path);
bool SaveSceneFile(CMainFrame& frame, CMainDoc& doc, bool askForName);
