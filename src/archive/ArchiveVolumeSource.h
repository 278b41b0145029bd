#pragma once
// A source backed by one archive volume: the directory comes from the volume's index file in the
// application folder and stays in memory; file data is read on demand with one seek and one read
// into buffers allocated once, when the index is loaded, and sized for the largest entry.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/ArchiveContext.h"
#include "archive/ArchiveIndex.h"
#include "archive/DataSource.h"

namespace lzw {
class LzwDecoder;
}

class CArchiveVolumeSource final : public CDataSource {
  public:
    explicit CArchiveVolumeSource(ArchiveContext context);
    ~CArchiveVolumeSource() override;

    // Opens the volume (or, when it is not at its path, the one in the installation folder). A
    // volume that fails its check is reported and refused, unless SHIFT is held when the report is
    // confirmed: then it is rebuilt from the fallback folder first (and still refused when that
    // build writes nothing). A missing index leaves the
    // source open with no entries; an inconsistent one is reported and refused.
    bool Open(const std::string& volumePath, const std::string& fallbackFolder,
              const std::string& filter) override;
    void Close() override;
    ReadResult Read(std::string_view name, int flags) override;

    // A volume is usable when it opens, its length equals the header's total length and the
    // format flag is 1.
    static bool IsUsableVolume(const std::string& path);

    const std::string& VolumePath() const { return m_volumePath; }
    std::size_t EntryCount() const { return m_index ? m_index->Size() : 0; }

  private:
    bool LoadIndex(const std::string& stem);

    ArchiveContext m_context;
    std::string m_volumePath;
    std::optional<archive::ArchiveIndex> m_index;
    std::size_t m_bufferSize = 0;
    std::unique_ptr<std::uint8_t[]> m_readBuffer;
    std::unique_ptr<std::uint8_t[]> m_expandBuffer;
    std::unique_ptr<lzw::LzwDecoder> m_decoder;
};
