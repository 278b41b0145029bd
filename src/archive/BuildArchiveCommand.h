#pragma once
// The command line's archive build: marisole --build-archive SOURCE_FOLDER VOLUME

#include <ostream>
#include <string>

// Packs SOURCE_FOLDER into VOLUME and its index (VOLUME's folder + its name without extension +
// ".VDH"), compressing ".X" and ".TXT" files. Progress and messages go to `out` (no window, no
// question waits); the folder of VOLUME is created when missing. Returns the process exit code:
// 0 when both files were written, 1 when the build failed, 2 when the source folder is not there.
int RunBuildArchiveCommand(const std::string& sourceFolder, const std::string& volumePath, std::ostream& out);
