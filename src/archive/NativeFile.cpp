#include "archive/NativeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace archive {

NativeFile::~NativeFile() {
    Close();
}

bool NativeFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

void NativeFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

bool NativeFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (m_fd < 0) return false;
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
        const ssize_t n = ::pread(m_fd, p, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += static_cast<std::uint64_t>(n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxSize) {
    NativeFile file;
    if (!file.Open(path) || file.Size() > maxSize) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (!file.ReadAt(0, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

}  // namespace archive
