#include "archive/BuildArchiveCommand.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "archive/ArchiveBuilder.h"
#include "archive/ArchiveContext.h"
#include "archive/ArchiveName.h"
#include "archive/TerminalProgress.h"
#include "archive/TerminalPrompts.h"

namespace {

// Puts terminal prompts in place for the command and the previous ones back after it.
class ScopedTerminalPrompts {
  public:
    explicit ScopedTerminalPrompts(std::ostream& out)
        : m_previous(win::InstallPrompts(std::make_unique<TerminalPrompts>(out))) {}
    ~ScopedTerminalPrompts() { win::InstallPrompts(std::move(m_previous)); }
    ScopedTerminalPrompts(const ScopedTerminalPrompts&) = delete;
    ScopedTerminalPrompts& operator=(const ScopedTerminalPrompts&) = delete;

  private:
    std::unique_ptr<win::UserPrompts> m_previous;
};

}  // namespace

int RunBuildArchiveCommand(const std::string& sourceFolder, const std::string& volumePath,
                           std::ostream& out) {
    std::error_code ec;
    if (sourceFolder.empty() || !std::filesystem::is_directory(sourceFolder, ec)) {
        out << "marisole: source folder not found: " << sourceFolder << '\n';
        return 2;
    }
    if (volumePath.empty() || archive::FileStem(volumePath).empty()) {
        out << "marisole: no volume file named\n";
        return 1;
    }
    const std::string folder = archive::FolderOf(volumePath);
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);

    ScopedTerminalPrompts prompts(out);
    TerminalProgress progress(out);
    CArchiveBuilder builder(progress);
    const std::string indexPath = IndexFileFor(folder, archive::FileStem(volumePath));
    const BuildResult result = builder.Build(sourceFolder, kCompressionFilter, volumePath, indexPath);
    if (result != BuildResult::Built) {
        out << "marisole: the archive was not written\n";
        return 1;
    }
    out << "wrote " << volumePath << " and " << indexPath << " (" << builder.EntryCount() << " files)\n";
    return 0;
}
