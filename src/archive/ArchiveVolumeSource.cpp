#include "archive/ArchiveVolumeSource.h"

#include <filesystem>
#include <system_error>

#include "archive/ArchiveBuilder.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveName.h"
#include "archive/LzwDecoder.h"
#include "archive/NativeFile.h"
#include "archive/NoCasePath.h"
#include "platform/win/UserPrompts.h"

namespace {
// Room past the largest entry in both buffers: the decoder zeroes 1024 bytes past its output, and
// every result is followed by a zero byte.
constexpr std::size_t kBufferSlack = 2048;
}  // namespace

CArchiveVolumeSource::CArchiveVolumeSource(ArchiveContext context) : m_context(std::move(context)) {}
CArchiveVolumeSource::~CArchiveVolumeSource() = default;

bool CArchiveVolumeSource::IsUsableVolume(const std::string& path) {
    archive::NativeFile file;
    std::uint8_t bytes[archive::VolumeHeader::kSize];
    if (!file.Open(path) || file.Size() < sizeof bytes || !file.ReadAt(0, bytes, sizeof bytes)) return false;
    const auto header = archive::VolumeHeader::Parse(bytes);
    return header && header->totalLength == file.Size() && header->formatFlag == 1;
}

bool CArchiveVolumeSource::Open(const std::string& volumePath, const std::string& fallbackFolder,
                                const std::string& filter) {
    Close();
    const std::string stem = archive::FileStem(volumePath);
    std::error_code ec;
    m_volumePath = std::filesystem::exists(volumePath, ec) ? volumePath
                                                           : archive::WithTrailingSlash(m_context.setupPath) +
                                                                 stem + archive::FileExtension(volumePath);

    if (!IsUsableVolume(m_volumePath)) {
        win::MessageBox(nullptr, archive::msg::kBrokenVolume, archive::msg::kBrokenVolumeCaption);
        if (!win::Prompts().IsShiftDown()) return false;
        std::unique_ptr<ProgressSink> progress;
        if (m_context.makeBuildProgress) progress = m_context.makeBuildProgress();
        NullProgress silent;
        BuildResult outcome = BuildResult::BadArguments;
        BuildArchive(volumePath, fallbackFolder, filter, m_context.appFolder, progress ? *progress : silent,
                     &outcome);
        // Without a new volume the broken one stays refused; otherwise read from the volume just
        // written, wherever the broken one was found.
        if (outcome != BuildResult::Built) return false;
        m_volumePath = VolumeFileFor(m_context.appFolder, stem);
    }
    return LoadIndex(stem);
}

bool CArchiveVolumeSource::LoadIndex(const std::string& stem) {
    Close();
    const auto indexName = archive::FindEntryNoCase(m_context.appFolder, stem + ".VDH");
    archive::NativeFile file;
    if (!indexName || !file.Open(m_context.appFolder + *indexName)) return true;  // no entries

    m_index = archive::ArchiveIndex::Load(file);
    if (!m_index) {
        win::MessageBox(nullptr, archive::msg::kInconsistentIndex, archive::msg::kInternalErrorCaption);
        Close();
        return false;
    }
    m_bufferSize = std::size_t{m_index->Header().largestSize} + kBufferSlack;
    m_readBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(m_bufferSize);
    m_expandBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(m_bufferSize);
    m_decoder = std::make_unique<lzw::LzwDecoder>();
    return true;
}

void CArchiveVolumeSource::Close() {
    m_index.reset();
    m_bufferSize = 0;
    m_readBuffer.reset();
    m_expandBuffer.reset();
    m_decoder.reset();
}

CDataSource::ReadResult CArchiveVolumeSource::Read(std::string_view name, int /*flags*/) {
    if (!m_index) return {Status::NotHere};
    const archive::EntryRecord* record = m_index->Find(archive::UpperName(name));
    if (!record) return {Status::NotHere};
    if (!m_readBuffer) return {Status::Unavailable};

    // The volume is opened for each read only, so a removable disc may come and go between reads.
    archive::NativeFile volume;
    if (!volume.Open(m_volumePath)) return {Status::Unavailable};
    const std::uint64_t offset = std::uint64_t{m_index->Header().dataAreaOffset} + record->dataOffset;
    if (!volume.ReadAt(offset, m_readBuffer.get(), record->storedSize)) return {Status::Damaged};
    volume.Close();

    std::uint8_t* result = m_readBuffer.get();
    std::size_t length = record->storedSize;
    if (record->IsCompressed()) {
        // One byte of the buffer stays free for the terminating zero.
        const std::span<std::uint8_t> output(m_expandBuffer.get(), m_bufferSize - 1);
        if (!m_decoder->Expand(output, length, {m_readBuffer.get(), record->storedSize}))
            return {Status::Damaged};
        result = m_expandBuffer.get();
    }
    result[length] = 0;
    return {Status::Found, reinterpret_cast<char*>(result), length};
}
