#pragma once
// One source of the archive set: an archive volume, or the plain folder that replaces a volume that
// cannot be used. CCommunicator asks its sources in order.

#include <cstddef>
#include <string>
#include <string_view>

class CDataSource {
  public:
    enum class Status {
        Found,        // data points at the bytes, followed by one zero byte
        NotHere,      // this source has no file of that name
        Unavailable,  // the file belongs here but cannot be read now (disc out, file missing)
        Damaged,      // the file belongs here but its stored bytes are unusable; retrying cannot help
    };
    struct ReadResult {
        Status status = Status::NotHere;
        char* data = nullptr;
        std::size_t length = 0;
    };

    virtual ~CDataSource() = default;
    // True when the source is usable.
    virtual bool Open(const std::string& volumePath, const std::string& fallbackFolder,
                      const std::string& filter) = 0;
    virtual void Close() = 0;
    // The bytes stay valid until the next Read on this source or Close; callers may change them.
    // `flags` is passed on unused.
    virtual ReadResult Read(std::string_view name, int flags) = 0;
};
