#pragma once
// The part list files of the archive (plist.txt, code page 932): one entry a line with the part's
// definition file, its thumbnail image and its display name, separated by "|".
//
//   BODY_A\body.x|BODY_A\body.bmp|体\Ａ     // comment to the end of the line
//
// - Lines end at every CR and every LF byte (a CR LF pair is one line end); empty lines are
//   skipped. CR and LF are never the second byte of a two-byte character, so a broken lead byte
//   at the end of a line cannot swallow the line end.
// - From the first "//" outside two-byte characters on, a line is a comment.
// - Runs of "|" count as one separator, leading ones too; a line with fewer than three non-empty
//   fields is skipped, fields after the third are ignored. Fields keep their spaces.
// - The two file names are relative to the folder of the plist.txt.
// - The display name shows as several text lines: every "\" outside two-byte characters starts a
//   new one ("ソ" is 0x83 0x5C and does not).
// Every read stays inside the text it is given.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scene {

// Lines of a part list read at most. Every line of the text counts, empty and comment lines too,
// so the entries after the 1024th line are never read however the lines before look.
inline constexpr std::size_t kMaxPartListLines = 1024;

struct PartListEntry {
    std::string partPath;       // folder + first field
    std::string thumbnailPath;  // folder + second field
    std::string name;           // third field, as written (CP932)
    friend bool operator==(const PartListEntry&, const PartListEntry&) = default;
};

// The entries of a part list in text order. `folder` is the archive folder of the plist.txt: ""
// for the archive root, otherwise ending in "\".
std::vector<PartListEntry> ParsePartList(std::string_view text, std::string_view folder);

// The text lines a display name shows as, split at every "\" outside two-byte characters. Each
// "\" starts a line, so a name ending in "\" has an empty last line; "" is one empty line.
std::vector<std::string> SplitDisplayLines(std::string_view name);

}  // namespace scene
