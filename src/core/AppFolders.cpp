#include "core/AppFolders.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>

namespace {

bool IsFile(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isFile(); }

bool IsWritableFolder(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string ApplicationDataFolder(const std::string& programFolder) {
    if (programFolder.empty() || IsFile(programFolder + "disk1.vd")) return programFolder;
    const QDir installed(QString::fromStdString(programFolder + "../share/marisole"));
    if (!installed.exists()) return programFolder;
    return installed.canonicalPath().toStdString() + "/";
}

ProfilePlace ChooseProfilePlace(const std::string& appFolder, const std::string& programFolder,
                                const std::string& userFolder, const std::string& name) {
    if (appFolder == programFolder && IsWritableFolder(appFolder)) return {appFolder, appFolder};
    ProfilePlace place;
    place.writeFolder = userFolder;
    if (!userFolder.empty() && IsFile(userFolder + name))
        place.readFolder = userFolder;
    else if (IsFile(appFolder + name))
        place.readFolder = appFolder;
    return place;
}
