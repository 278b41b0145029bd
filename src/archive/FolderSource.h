#pragma once
// A source that replaces an unusable volume with the same files unpacked in a folder on disk. Entry
// names map "\" to "/" and each folder and file is found whatever its case.

#include <cstddef>
#include <memory>
#include <string>

#include "archive/DataSource.h"

class CFolderSource final : public CDataSource {
  public:
    // Remembers the fallback folder; fails only when there is none.
    bool Open(const std::string& volumePath, const std::string& fallbackFolder,
              const std::string& filter) override;
    void Close() override;
    // A file missing from a folder that is there is NotHere (a later source may have it); when the
    // folder itself cannot be reached (a disc that is out) it is Unavailable. A name with an empty,
    // "." or ".." piece is NotHere, so no name reaches outside the folder.
    ReadResult Read(std::string_view name, int flags) override;

    const std::string& Folder() const { return m_folder; }

  private:
    std::string m_folder;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;
};
