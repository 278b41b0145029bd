#pragma once
// The command line of the program: the desktop application with an optional scene file, or one of
// the batch commands that run without a window.

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

struct CommandLine {
    enum class Action { RunApplication, Help, Version, Render, BuildArchive, Error };
    Action action = Action::RunApplication;
    std::string error;  // for Action::Error

    // RunApplication
    std::string sceneFile;  // pending scene file, "" when none
    std::string poseSet;    // pose set to load at start-up (archive name, UTF-8), "" when none
    bool showSplash = true;
    std::string qtPlatform;  // Qt's own -platform option, "" when not given (Qt reads all of them itself)

    // Render
    std::string renderOutput;
    std::string renderScene;
    std::vector<std::string> renderPoseSets;  // one figure each, side by side (at most 8)
    std::string renderPart;        // one mesh file on disk in place of a scene or pose set
    std::string renderBackground;  // a picture stretched under the scene, "" for none
    int renderWidth = 0;           // 0: the settings' value
    int renderHeight = 0;          // 0: the settings' value
    bool renderAntialias = true;
    bool renderSmooth = false;
    std::string renderView;        // a standard view ("front", "right", ...), "" for the scene's camera

    // BuildArchive
    std::string archiveSource;
    std::string archiveVolume;
};

CommandLine ParseCommandLine(const QStringList& arguments);

// Whether the arguments ask for the desktop program (neither --render nor --build-archive): an
// error in them is also shown in a message box.
bool IsDesktopStart(const QStringList& arguments);

// The application folder: the folder part of the program path (arguments[0]) up to and including
// its last "/", made absolute. Falls back to `fallbackFolder` when the path names no folder.
std::string AppFolderFromProgramPath(const QString& programPath, const QString& fallbackFolder);

// The text printed by --help and --version.
std::string HelpText();
std::string VersionText();
