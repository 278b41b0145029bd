#pragma once
// A read-only file of the operating system, closed when the object goes. Reads are exact: a read
// that cannot deliver every byte asked for fails.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive {

class NativeFile {
  public:
    NativeFile() = default;
    ~NativeFile();
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    // Opens a regular file (folders and devices are refused).
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    std::uint64_t Size() const { return m_size; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count);

  private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// The whole file, when it opens, is at most `maxSize` bytes long and reads completely.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxSize);

}  // namespace archive
