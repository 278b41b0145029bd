#pragma once
// Folders, files and archives for the archive tests.

#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "support/RecordingProgress.h"

namespace fixture {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& text);
void WriteFile(const std::string& path, const Bytes& bytes);  // creates the folders on the way
Bytes ReadFile(const std::string& path);
std::uint32_t U32At(const Bytes& bytes, std::size_t offset);
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);

// A temporary folder removed with the object; Root() ends in "/".
class TempTree {
  public:
    TempTree();
    std::string Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + relative; }
    void Write(const std::string& relative, const Bytes& bytes) const { WriteFile(Path(relative), bytes); }
    void Write(const std::string& relative, const std::string& text) const { Write(relative, B(text)); }

  private:
    QTemporaryDir m_dir;
    std::string m_root;
};

// Builds sourceFolder into folder + stem + ".vd" and folder + stem + ".VDH"; true when built.
bool BuildVolume(const std::string& sourceFolder, const std::string& folder, const std::string& stem);

}  // namespace fixture
