#pragma once
// The archive set: an ordered list of data sources, one per volume. Each volume is served by its
// archive file, or, when that cannot be used, by its fallback folder of plain files. Callers read a
// file by name and get its bytes.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ArchiveContext.h"
#include "archive/DataSource.h"

class CCommunicator {
  public:
    CCommunicator();
    ~CCommunicator();
    CCommunicator(const CCommunicator&) = delete;
    CCommunicator& operator=(const CCommunicator&) = delete;

    // `volumes` and `fallbacks` are lists of entries each followed by "|" (code page 932 aware;
    // empty entries dropped); entry i of each belongs to volume i. A volume that cannot be opened
    // is replaced by a folder source on its fallback folder; a volume with neither is left out.
    // `filter` lists the extensions the builder compresses (".X;.TXT;"). Always true.
    bool Open(std::string_view volumes, std::string_view fallbacks, std::string_view filter,
              const ArchiveContext& context);

    // The bytes of the named file (any case), followed by a zero byte, valid until the next read
    // from the same source or Close; null when no source delivers it. Asks to insert the disc
    // (Retry/Cancel) while a source that has the file cannot read it; Cancel gives null. `length`
    // receives the byte count (0 on failure); `flags` is passed on unused.
    char* Read(std::string_view name, std::size_t& length, int flags = 0);

    // Closes and destroys every source.
    void Close();

    // Owner window of the insert-disc question (the main window once it exists).
    void SetMessageOwner(QWidget* owner) { m_context.messageOwner = owner; }

    std::size_t SourceCount() const { return m_sources.size(); }
    const CDataSource* Source(std::size_t i) const { return m_sources[i].get(); }

  private:
    ArchiveContext m_context;
    std::vector<std::unique_ptr<CDataSource>> m_sources;
};
