#pragma once
// Where the program's files are. A build folder (or an unpacked copy) keeps everything beside the
// program: data, help page and profile.dat. An installed program lives in <prefix>/bin with its data
// in <prefix>/share/marisole, shared by every user of the machine, so its settings go to each user's
// configuration folder instead.

#include <string>

// The application folder of a program in `programFolder` (ending in "/"): the program's own folder
// when the first archive volume is there, otherwise <programFolder>/../share/marisole/ when that
// folder exists, otherwise the program's folder. The result ends in "/".
std::string ApplicationDataFolder(const std::string& programFolder);

// Where profile.dat is read at start-up and written at exit.
struct ProfilePlace {
    std::string readFolder;   // where this start looks for the file ("" when nowhere)
    std::string writeFolder;  // where the values go at exit ("" when no folder can be named)
};

// The application folder keeps the file when it is the program's own folder and can be written to
// (today's place). Otherwise the file lives in `userFolder`, and until it has been written there,
// the application folder's file (when present) gives the first start's values.
ProfilePlace ChooseProfilePlace(const std::string& appFolder, const std::string& programFolder,
                                const std::string& userFolder, const std::string& name);
