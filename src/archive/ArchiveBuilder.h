#pragma once
// Packs a folder tree into one archive volume and its index, compressing the files whose extension
// is in the compression filter when that makes them smaller. Both files are written under temporary
// names and put in place together only when everything was written, so a stopped or failed build
// leaves the previous volume and index untouched.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "archive/VolumeHeader.h"
#include "base/Progress.h"

enum class BuildResult {
    Built,         // volume and index written
    Stopped,       // the person chose Abort at a file that cannot be opened; nothing written
    NotWritten,    // a file could not be created or written, or the tree changed while building
    BadArguments,  // no application folder, or no usable source folder
};

class CArchiveBuilder {
  public:
    explicit CArchiveBuilder(ProgressSink& progress) : m_progress(progress) {}

    // `filter`: extensions with their dot separated by ";" or "|" (".X;.TXT;"), compared without
    // regard to case. Files are taken in byte order of their names, folders where they sort, so the
    // same tree always gives the same volume. A link to a folder is followed like a folder, except
    // one that leads back to a folder on its own way down (it would never end): that link is
    // reported once and left out. A file larger than an entry can be is not packed: the person is
    // told and chooses between going on without it and stopping.
    BuildResult Build(const std::string& sourceFolder, std::string_view filter, const std::string& volumeFile,
                      const std::string& indexFile);

    // Entries of the last build, in name table order.
    std::size_t EntryCount() const { return m_entries.size(); }

  private:
    struct SourceFile {
        std::string path;  // native path
        std::string name;  // entry name: code page 932, upper case, "\" between folders
    };
    struct Entry {
        std::size_t file;
        archive::EntryRecord record;
    };

    void ListFiles(const std::string& folder, const std::string& namePrefix,
                   std::vector<std::filesystem::path>& way);
    bool Measure(const std::vector<std::string>& compressed);
    std::vector<std::uint8_t> Directory(const archive::VolumeHeader& header,
                                        const std::vector<std::uint8_t>& nameTable) const;
    BuildResult Write(const std::string& volumeFile, const std::string& indexFile);

    ProgressSink& m_progress;
    std::vector<SourceFile> m_files;
    std::set<std::filesystem::path> m_reportedLinks;
    std::vector<Entry> m_entries;
    std::uint32_t m_largest = 0;
    std::uint64_t m_dataLength = 0;
};

// The files the builder writes for the volume named `stem` in `folder` (ending in "/"): the volume
// folder + stem + ".vd", and the index: the existing file named stem + ".VDH" in any case, else
// folder + stem + ".VDH" (the two spellings are one file to the reader).
std::string VolumeFileFor(const std::string& folder, const std::string& stem);
std::string IndexFileFor(const std::string& folder, const std::string& stem);

// The maintenance build started from a volume error: rebuilds the volume named like `volumePath`
// from `sourceFolder` into `appFolder`. False (after a message) when there is no application folder
// or no source folder; true otherwise, also when the build was stopped. `outcome` receives the
// detailed result when given.
bool BuildArchive(const std::string& volumePath, const std::string& sourceFolder, std::string_view filter,
                  const std::string& appFolder, ProgressSink& progress, BuildResult* outcome = nullptr);
