#pragma once
// The generated sample library as the application sees it: the archive set opened on the volumes
// beside the executables, the names of every archived file, and readers of the definition texts
// that follow the loading rules (pose sets, tree definitions, colour definitions, plist.txt).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/Communicator.h"
#include "platform/rm/Library.h"

namespace content {

// The folder of the executables, ending in "/".
std::string BinFolder();

class Library {
  public:
    // Opens disk1.vd and disk2.vd with the fallback list of drive.dat.
    Library();
    ~Library();

    // A copy of the file's bytes, or nothing when the archive does not deliver it.
    std::optional<std::string> Read(const std::string& name);
    // The file's bytes for a test that needs the file: one the archive does not deliver fails the
    // running test with its name and reads as no bytes.
    std::string Text(const std::string& name);
    // Every archived name (upper case), from both indexes.
    const std::vector<std::string>& Names() const { return m_names; }
    CCommunicator& Archive() { return m_archive; }

  private:
    CCommunicator m_archive;
    std::vector<std::string> m_names;
};

struct ListEntry {
    std::string part;       // folder + first field
    std::string thumbnail;  // folder + second field
    std::string name;
};

// plist.txt lines: CR/LF separated, "//" comments cut, three non-empty fields (runs of "|" as one).
std::vector<ListEntry> ParseList(const std::string& folder, const std::string& text);
// Tokens of a definition text split at any of `separators`, "//" comments cut, longer than `minLength`.
std::vector<std::string> Tokens(const std::string& text, const std::string& separators,
                                std::size_t minLength);
std::vector<std::string> Fields(const std::string& token);  // split at "|", empty fields kept

// Folder of a mesh path with trailing "\", its last component, and its parent folder.
std::string FolderOf(const std::string& path);
std::string LinkNameOf(const std::string& path);
std::string ParentFolderOf(const std::string& path);
// Folder comparison of the linking rule: "_" to the next "\" dropped, case ignored.
bool SameFolder(const std::string& a, const std::string& b);
// Frame name comparison: cut at "@", drop "X3DS_" then "FRM-", case ignored.
bool SameFrameName(const std::string& a, const std::string& b);

// A part read from the archive with the system's mesh reader: the part frame is the first child of
// the reader's root frame; an animation set is read at time 50.
struct LoadedPart {
    rm::Ref<rm::Frame> root;
    rm::Ref<rm::Frame> frame;
    bool animated = false;
};
// Without `atTime50` the animation set is left unread (the frames keep the file's matrices).
std::optional<LoadedPart> LoadPart(Library& library, rm::Library& rm, const std::string& path,
                                   bool atTime50 = true);

// Depth-first, a frame before its children.
rm::Ref<rm::Frame> FindFrame(rm::Frame* start, const std::string& name);
std::vector<rm::Frame*> AllFrames(rm::Frame* start);
std::vector<rm::Ref<rm::MeshBuilder>> MeshesOf(rm::Frame* frame);

}  // namespace content
