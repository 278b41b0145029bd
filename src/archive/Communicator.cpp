#include "archive/Communicator.h"

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveName.h"
#include "archive/ArchiveVolumeSource.h"
#include "archive/FolderSource.h"
#include "platform/win/UserPrompts.h"

CCommunicator::CCommunicator() = default;
CCommunicator::~CCommunicator() {
    Close();
}

bool CCommunicator::Open(std::string_view volumes, std::string_view fallbacks, std::string_view filter,
                         const ArchiveContext& context) {
    Close();
    m_context = context;
    // Both lists hold folder and file paths of this system (UTF-8), not archive names.
    const auto volumeList = archive::SplitPathList(volumes);
    const auto fallbackList = archive::SplitPathList(fallbacks);
    const std::string filterText(filter);
    for (std::size_t i = 0; i < volumeList.size(); ++i) {
        // A volume without a fallback entry has no folder to fall back to.
        const std::string fallback = i < fallbackList.size() ? fallbackList[i] : std::string();
        auto volume = std::make_unique<CArchiveVolumeSource>(m_context);
        if (volume->Open(volumeList[i], fallback, filterText)) {
            m_sources.push_back(std::move(volume));
            continue;
        }
        volume.reset();
        auto folder = std::make_unique<CFolderSource>();
        if (folder->Open(volumeList[i], fallback, filterText)) m_sources.push_back(std::move(folder));
    }
    return true;
}

char* CCommunicator::Read(std::string_view name, std::size_t& length, int flags) {
    length = 0;
    for (const auto& source : m_sources) {
        for (;;) {
            const CDataSource::ReadResult r = source->Read(name, flags);
            if (r.status == CDataSource::Status::Found) {
                length = r.length;
                return r.data;
            }
            if (r.status == CDataSource::Status::NotHere) break;
            if (r.status == CDataSource::Status::Damaged) return nullptr;
            const int answer = win::MessageBox(m_context.messageOwner, archive::msg::kInsertDisc, "Marisole",
                                               win::Buttons::RetryCancel, win::Icon::Information);
            if (answer != win::IDRETRY) return nullptr;
        }
    }
    return nullptr;
}

void CCommunicator::Close() {
    for (const auto& source : m_sources) source->Close();
    m_sources.clear();
}
