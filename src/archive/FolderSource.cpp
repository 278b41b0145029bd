#include "archive/FolderSource.h"

#include <filesystem>
#include <system_error>

#include "archive/ArchiveName.h"
#include "archive/NativeFile.h"
#include "archive/NoCasePath.h"
#include "archive/VolumeHeader.h"

bool CFolderSource::Open(const std::string&, const std::string& fallbackFolder, const std::string&) {
    Close();
    m_folder = archive::WithTrailingSlash(fallbackFolder);
    return !m_folder.empty();
}

void CFolderSource::Close() {
    m_buffer.reset();
    m_capacity = 0;
}

CDataSource::ReadResult CFolderSource::Read(std::string_view name, int /*flags*/) {
    const auto pieces = archive::NameToPathPieces(name);
    if (pieces.empty() || m_folder.empty()) return {Status::NotHere};
    const auto path = archive::FindPathNoCase(m_folder, pieces);
    archive::NativeFile file;
    if (!path || !file.Open(*path)) {
        // Only a folder that cannot be reached (a disc that is out) is worth waiting for; a file
        // missing from a folder that is there belongs to a later source, if to any.
        std::error_code ec;
        return {std::filesystem::is_directory(m_folder, ec) ? Status::NotHere : Status::Unavailable};
    }
    if (file.Size() > archive::kMaxEntrySize) return {Status::Damaged};

    const auto length = static_cast<std::size_t>(file.Size());
    if (m_capacity < length + 1024) {
        m_capacity = length + 1088;
        m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
    }
    if (!file.ReadAt(0, m_buffer.get(), length)) return {Status::Damaged};
    m_buffer[length] = 0;
    return {Status::Found, m_buffer.get(), length};
}
