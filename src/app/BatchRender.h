#pragma once
// marisole --render: loads a pose set or a scene file from the archive beside the executable, or one
// mesh file from disk, places the camera as the edit view places its own (a mesh file is framed to
// the picture), optionally puts a background picture under the scene, and renders through the same
// pipeline as the render command, without any window. The settings are the scene's, the command
// line's and otherwise the render dialog's defaults, never what the last session left in profile.dat
// (CHeadlessScene), so the render button of a new session and the command give the same bytes.
// Messages and progress go to the error stream.

#include <QStringList>
#include <ostream>

struct CommandLine;

// Returns the process exit code: 0 when the picture was written and nothing went wrong while
// loading, 1 otherwise.
int RunBatchRender(const CommandLine& commandLine, const QStringList& arguments, std::ostream& err);
