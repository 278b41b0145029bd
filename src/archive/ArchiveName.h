#pragma once
// Names of archive entries: paths relative to the volume's root, "\" between folders, code page 932,
// upper case. Lookups upper-case the requested name the same way the builder upper-cased the stored
// one, so callers may pass any case.

#include <string>
#include <string_view>
#include <vector>

namespace archive {

// Upper-cases a code page 932 text character by character: a-z, and the two-byte letters that have
// a capital in the code page (full-width Latin, Greek, Cyrillic, small Roman numerals). Second bytes
// of two-byte characters are never taken for letters.
std::string UpperName(std::string_view cp932Text);

// Pieces of a list separated by any of `separators` (single-byte characters only; a separator byte
// that is the second byte of a two-byte character does not split). Empty pieces are dropped.
std::vector<std::string> SplitList(std::string_view cp932Text, std::string_view separators);

// Pieces of a list of native (UTF-8) paths separated by "|", byte by byte: a UTF-8 character's bytes
// never include "|", so no character can swallow the separator after it. Empty pieces are dropped.
std::vector<std::string> SplitPathList(std::string_view utf8Text);

// Native path of an entry below `folder`: the name's "\" become "/" and each piece is converted to
// UTF-8. Empty when the name is empty or has an empty, "." or ".." piece, so that no name reaches
// outside the folder.
std::vector<std::string> NameToPathPieces(std::string_view cp932Name);

// "dir/" for a folder text that does not end in a separator (empty stays empty).
std::string WithTrailingSlash(std::string folder);

// File name without folder and extension (F), and the extension with its dot (E), of a native path.
std::string FileStem(std::string_view path);
std::string FileExtension(std::string_view path);
// Folder part of a path up to and including the last "/" ("" when there is none).
std::string FolderOf(std::string_view path);

}  // namespace archive
