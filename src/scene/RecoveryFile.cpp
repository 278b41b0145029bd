#include "scene/RecoveryFile.h"

#include <QFile>
#include <QFileInfo>

#include "core/UserFolders.h"
#include "scene/MainDoc.h"
#include "scene/SceneFile.h"
#include "scene/WholeFile.h"

namespace scene {

namespace {

// The name file holds one path; anything longer is not ours.
constexpr qint64 kMaxOriginBytes = 64 * 1024;

std::string ReadOrigin(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray text = file.read(kMaxOriginBytes);
    const qsizetype end = text.indexOf('\n');
    if (end >= 0) text.truncate(end);
    if (text.contains('\0')) return {};
    return text.toStdString();
}

}  // namespace

bool WriteRecoveryFile(CMainDoc& doc, const std::string& folder) {
    if (!MakeUserFolder(folder)) return false;
    const std::string& origin = doc.GetPathName();
    std::vector<std::uint8_t> originLine(origin.begin(), origin.end());
    originLine.push_back('\n');
    return WriteWholeFile(folder + kRecoveryOriginName, originLine) &&
           WriteWholeFile(folder + kRecoveryFileName, CSceneFile::Write(doc));
}

bool RemoveRecoveryFile(const std::string& folder) {
    bool removed = true;
    for (const char* name : {kRecoveryFileName, kRecoveryOriginName}) {
        const QString path = QString::fromStdString(folder + name);
        if (QFileInfo::exists(path) && !QFile::remove(path)) removed = false;
    }
    return removed;
}

std::optional<LeftRecovery> FindRecoveryFile(const std::string& folder) {
    if (folder.empty()) return std::nullopt;
    const QFileInfo copy(QString::fromStdString(folder + kRecoveryFileName));
    if (!copy.isFile()) return std::nullopt;
    LeftRecovery left;
    left.recoveryPath = folder + kRecoveryFileName;
    left.scenePath = ReadOrigin(folder + kRecoveryOriginName);
    left.written = copy.lastModified();
    if (!left.scenePath.empty()) {
        const QFileInfo scene(QString::fromStdString(left.scenePath));
        left.superseded = scene.isFile() && scene.lastModified() >= left.written;
    }
    return left;
}

}  // namespace scene
