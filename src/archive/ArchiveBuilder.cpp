#include "archive/ArchiveBuilder.h"

#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <unordered_set>

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveName.h"
#include "archive/LzwCoder.h"
#include "archive/NativeFile.h"
#include "archive/NoCasePath.h"
#include "base/ArchiveStream.h"
#include "base/Cp932.h"
#include "platform/win/UserPrompts.h"

namespace {

std::string FileLine(std::size_t i, std::uint64_t length, const std::string& path) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%04ld: %ld(KB) ", static_cast<long>(i),
                  static_cast<long>(length / 1024));
    return prefix + path;
}

bool IsCompressed(const std::string& name, const std::vector<std::string>& extensions) {
    const std::string extension = archive::FileExtension(name);
    if (extension.empty()) return false;
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](const std::string& e) { return cp932::EqualsNoCase(e, extension); });
}

QString NativePath(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

bool WriteAll(QSaveFile& file, const std::uint8_t* data, std::size_t size) {
    return file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
           static_cast<qint64>(size);
}

void CannotCreate(const std::string& path) {
    win::MessageBox(nullptr, path, archive::msg::kCannotCreateCaption);
}

void ReportLinkCycle(const std::string& link, const std::string& target) {
    win::MessageBox(nullptr,
                    link + "\nこのリンクは上のフォルダ " + target +
                        " に戻るため、たどりません（中のファイルはリンクなしの場所から入ります）。",
                    archive::msg::kLinkCycleCaption, win::Buttons::Ok, win::Icon::Warning);
}

// True when the person chooses to go on without the file.
bool SkipTooLarge(const std::string& path, std::uint64_t size) {
    const std::string text = path + "\nこのファイルは大きすぎるため、アーカイブに入れられません（" +
                             std::to_string(size >> 20) + " MB。1 ファイル " +
                             std::to_string(archive::kMaxEntrySize >> 20) +
                             " MB まで）。\nこのファイルを除いて続けますか？";
    return win::MessageBox(nullptr, text, archive::msg::kTooLargeCaption, win::Buttons::YesNo,
                           win::Icon::Warning) == win::IDYES;
}

}  // namespace

void CArchiveBuilder::ListFiles(const std::string& folder, const std::string& namePrefix,
                                std::vector<std::filesystem::path>& way) {
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename().native() < b.path().filename().native();
    });
    for (const auto& entry : entries) {
        const std::string leaf = entry.path().filename().string();
        const std::string path = folder + leaf;
        const std::string name = namePrefix + archive::UpperName(cp932::FromUtf8(leaf));
        std::error_code kindError;
        // Folders and links to folders alike; a link is followed unless its folder is already on
        // the way down to it, which would repeat the same folders without end.
        if (entry.is_directory(kindError)) {
            std::error_code realError;
            const std::filesystem::path real = std::filesystem::canonical(entry.path(), realError);
            if (realError) continue;
            if (std::find(way.begin(), way.end(), real) != way.end()) {
                const std::filesystem::path link =
                    std::filesystem::canonical(entry.path().parent_path(), realError) / leaf;
                if (m_reportedLinks.insert(link).second) ReportLinkCycle(path, real.string());
                continue;
            }
            way.push_back(real);
            ListFiles(path + "/", name + "\\", way);
            way.pop_back();
        } else if (entry.is_regular_file(kindError)) {
            m_progress.SetText(path);
            m_files.push_back({path, name});
        }
    }
}

bool CArchiveBuilder::Measure(const std::vector<std::string>& compressed) {
    m_progress.SetTitle(archive::msg::kMeasuringTitle);
    m_progress.SetRange(0, static_cast<int>(m_files.size()));
    std::unordered_set<std::string> names;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const SourceFile& source = m_files[i];
        m_progress.SetPos(static_cast<int>(i));
        archive::NativeFile file;
        bool skip = false;
        while (!file.Open(source.path)) {
            const int answer = win::MessageBox(nullptr, source.path, archive::msg::kCannotOpenCaption,
                                               win::Buttons::AbortRetryIgnore);
            if (answer == win::IDRETRY) continue;
            if (answer == win::IDIGNORE) {
                skip = true;
                break;
            }
            return false;
        }
        if (skip) continue;
        // Retry could never make it fit: the file is too large, not unreadable.
        if (file.Size() > archive::kMaxEntrySize) {
            if (SkipTooLarge(source.path, file.Size())) continue;
            return false;
        }
        // Two files whose names differ only in case would be one entry; the first one is kept.
        if (!names.insert(source.name).second) continue;

        const auto length = static_cast<std::uint32_t>(file.Size());
        m_progress.SetText(FileLine(i, length, source.path));
        archive::EntryRecord record;
        record.storedSize = length;
        m_largest = std::max(m_largest, length);
        if (IsCompressed(source.name, compressed)) {
            std::vector<std::uint8_t> bytes(length);
            std::vector<std::uint8_t> packed;
            if (file.ReadAt(0, bytes.data(), bytes.size()) && lzw::Compress(bytes, packed) &&
                packed.size() < length) {
                record.storedSize = static_cast<std::uint32_t>(packed.size());
                record.flags = archive::EntryRecord::kCompressed;
            }
        }
        // Offsets are 32-bit; a data area that outgrows them is caught before writing.
        record.dataOffset = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_dataLength, UINT32_MAX));
        m_dataLength += record.storedSize;
        m_entries.push_back({i, record});
    }
    return true;
}

std::vector<std::uint8_t> CArchiveBuilder::Directory(const archive::VolumeHeader& header,
                                                     const std::vector<std::uint8_t>& nameTable) const {
    StoringArchive out;
    header.Write(out);
    out.WriteBytes(nameTable);
    for (const Entry& e : m_entries) e.record.Write(out);
    return out.TakeBytes();
}

BuildResult CArchiveBuilder::Build(const std::string& sourceFolder, std::string_view filter,
                                   const std::string& volumeFile, const std::string& indexFile) {
    m_files.clear();
    m_entries.clear();
    m_largest = 0;
    m_dataLength = 0;

    const auto compressed = archive::SplitList(filter, ";|");
    m_progress.SetTitle(archive::msg::kBuildTitle);
    m_progress.SetText("");
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_reportedLinks.clear();
    const std::string top = archive::WithTrailingSlash(sourceFolder);
    std::error_code ec;
    std::vector<std::filesystem::path> way;
    way.push_back(std::filesystem::canonical(top, ec));
    ListFiles(top, "", way);
    if (!Measure(compressed)) {
        m_entries.clear();
        return BuildResult::Stopped;
    }
    const BuildResult result = Write(volumeFile, indexFile);
    if (result != BuildResult::Built) m_entries.clear();
    return result;
}

BuildResult CArchiveBuilder::Write(const std::string& volumeFile, const std::string& indexFile) {
    StoringArchive names;
    names.WriteCount(static_cast<std::uint32_t>(m_entries.size()));
    for (const Entry& e : m_entries) names.WriteString(m_files[e.file].name);
    const std::vector<std::uint8_t> nameTable = names.TakeBytes();

    archive::VolumeHeader header;
    header.entryCount = static_cast<std::uint32_t>(m_entries.size());
    header.nameTableLength = static_cast<std::uint32_t>(nameTable.size());
    header.largestSize = m_largest;
    const std::uint64_t dataAreaOffset =
        archive::VolumeHeader::kSize + std::uint64_t{nameTable.size()} + 16ull * m_entries.size();
    if (dataAreaOffset + m_dataLength > std::numeric_limits<std::uint32_t>::max()) {
        CannotCreate(volumeFile);  // more than the 32-bit lengths of the format can describe
        return BuildResult::NotWritten;
    }
    header.dataAreaOffset = static_cast<std::uint32_t>(dataAreaOffset);
    header.totalLength = static_cast<std::uint32_t>(dataAreaOffset + m_dataLength);
    const std::vector<std::uint8_t> directory = Directory(header, nameTable);
    const std::size_t recordsAt = archive::VolumeHeader::kSize + nameTable.size();

    // Index and volume carry the same directory; the volume then carries the data area.
    QSaveFile index(NativePath(indexFile));
    QSaveFile volume(NativePath(volumeFile));
    for (QSaveFile* file : {&index, &volume}) {
        const std::string& path = file == &index ? indexFile : volumeFile;
        if (!file->open(QIODevice::WriteOnly)) {
            CannotCreate(path);
            return BuildResult::NotWritten;
        }
        m_progress.SetTitle(archive::msg::kHeaderTitle);
        bool ok = WriteAll(*file, directory.data(), recordsAt);
        m_progress.SetTitle(archive::msg::kMappingTitle);
        m_progress.SetRange(0, static_cast<int>(m_entries.size()));
        for (std::size_t j = 0; j < m_entries.size(); ++j) {
            ok = ok && WriteAll(*file, directory.data() + recordsAt + 16 * j, 16);
            m_progress.SetText(cp932::ToUtf8(m_files[m_entries[j].file].name));
            m_progress.SetPos(static_cast<int>(j));
        }
        if (!ok) {
            CannotCreate(path);
            return BuildResult::NotWritten;
        }
    }

    m_progress.SetTitle(archive::msg::kDataTitle);
    m_progress.SetRange(0, static_cast<int>(m_files.size()));
    for (const Entry& e : m_entries) {
        const SourceFile& source = m_files[e.file];
        m_progress.SetPos(static_cast<int>(e.file));
        // The tree must still hold what was measured, or the volume would not match its records.
        const auto bytes = archive::ReadWholeFile(source.path, archive::kMaxEntrySize);
        std::vector<std::uint8_t> packed;
        if (bytes && e.record.IsCompressed()) lzw::Compress(*bytes, packed);
        const std::vector<std::uint8_t>* stored = e.record.IsCompressed() ? &packed : bytes ? &*bytes : nullptr;
        if (!bytes || stored->size() != e.record.storedSize) {
            CannotCreate(source.path);
            return BuildResult::NotWritten;
        }
        m_progress.SetText(FileLine(e.file, bytes->size(), source.path));
        if (!WriteAll(volume, stored->data(), stored->size())) {
            CannotCreate(volumeFile);
            return BuildResult::NotWritten;
        }
    }

    // The volume goes in place first: an index never describes a volume that is not there.
    if (!volume.commit()) {
        CannotCreate(volumeFile);
        return BuildResult::NotWritten;
    }
    if (!index.commit()) {
        CannotCreate(indexFile);
        return BuildResult::NotWritten;
    }
    return BuildResult::Built;
}

std::string VolumeFileFor(const std::string& folder, const std::string& stem) {
    return folder + stem + ".vd";
}

std::string IndexFileFor(const std::string& folder, const std::string& stem) {
    const auto existing = archive::FindEntryNoCase(folder, stem + ".VDH");
    return folder + (existing ? *existing : stem + ".VDH");
}

bool BuildArchive(const std::string& volumePath, const std::string& sourceFolder, std::string_view filter,
                  const std::string& appFolder, ProgressSink& progress, BuildResult* outcome) {
    if (outcome) *outcome = BuildResult::BadArguments;
    if (appFolder.empty()) {
        win::MessageBox(nullptr, archive::msg::kNotInitialised, archive::msg::kInternalErrorCaption);
        return false;
    }
    std::error_code ec;
    if (sourceFolder.empty() || !std::filesystem::is_directory(sourceFolder, ec)) {
        // A folder that is not there would give an empty volume in place of the damaged one.
        win::MessageBox(nullptr, archive::msg::kBadOutputName, archive::msg::kInternalErrorCaption);
        return false;
    }
    const std::string stem = archive::FileStem(volumePath);
    CArchiveBuilder builder(progress);
    const BuildResult result =
        builder.Build(sourceFolder, filter, VolumeFileFor(appFolder, stem), IndexFileFor(appFolder, stem));
    if (outcome) *outcome = result;
    return true;
}
