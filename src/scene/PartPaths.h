#pragma once
// Names derived from an archive path of a part's mesh file (for example BODY\ARM_L\arm.x), and the
// folder comparison that links parts and finds tree items. Archive paths use "\" and stay in code
// page 932.

#include <string>
#include <string_view>

namespace scene {

// The directory of `path` with a trailing "\" (BODY\ARM_L\); empty when there is none.
std::string FolderOf(std::string_view path);
// The last component of the directory (ARM_L).
std::string LinkNameOf(std::string_view path);
// The directory without its last component, with a trailing "\" (BODY\); empty when the directory
// has one component.
std::string ParentFolderOf(std::string_view path);
// `folder` with a trailing "\" added when it does not end in one.
std::string WithBackslash(std::string_view folder);
// Every component loses the text from a "_" up to, not including, the next "\".
std::string FolderKey(std::string_view folder);
// Folder comparison: FolderKey of both, compared case-insensitively (BODY_B\ matches BODY\).
bool FoldersMatch(std::string_view a, std::string_view b);
// The colour definition name of a mesh path: its last character replaced by "txt" (arm.x gives
// arm.txt), and the folder's default definition "default.txt".
std::string ColorDefinitionOf(std::string_view meshPath);
std::string DefaultColorDefinitionOf(std::string_view meshPath);
// The figure tree definition of a pose set: the path cut at its first "." plus ".tre".
std::string TreeDefinitionOf(std::string_view poseSetPath);
// True when the extension of `path` is ".OBJ" in any case.
bool IsPoseSetPath(std::string_view path);

}  // namespace scene
