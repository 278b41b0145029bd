#pragma once
// The recovery file: a copy of a scene with unsaved changes, kept in the user's data folder so that
// a crash or a logout does not take the changes with it. It is a scene file ("recovery.mrs"); beside
// it "recovery.txt" names the scene file the copy belongs to (UTF-8, one line, empty for a scene
// never saved). Both are written through temporary files renamed into place, never over the
// person's own file.

#include <QDateTime>
#include <optional>
#include <string>

class CMainDoc;

namespace scene {

inline constexpr char kRecoveryFileName[] = "recovery.mrs";
inline constexpr char kRecoveryOriginName[] = "recovery.txt";

// Writes the document's scene and its file name into `folder` (ending in "/", made when missing).
// False when either cannot be written; a recovery file written before stays as it was.
bool WriteRecoveryFile(CMainDoc& doc, const std::string& folder);
// Removes both files from `folder`; true when neither is left.
bool RemoveRecoveryFile(const std::string& folder);

// A recovery file left in a folder by an earlier run.
struct LeftRecovery {
    std::string recoveryPath;
    // The scene file the copy belongs to; "" for a scene never saved.
    std::string scenePath;
    // When the copy was written (the file's time).
    QDateTime written;
    // The scene file was written after the copy: the copy holds nothing the file lacks.
    bool superseded = false;
};
std::optional<LeftRecovery> FindRecoveryFile(const std::string& folder);

}  // namespace scene
