// New, Open and Save of the scene document.

#include <QFile>

#include "platform/win/UserPrompts.h"
#include "scene/MainDoc.h"
#include "scene/SceneFile.h"
#include "scene/SceneMessages.h"
#include "scene/SceneTexts.h"
#include "scene/WholeFile.h"

namespace {

// The file's base name, without folder and extension (either separator).
std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void Tell(const char* text) {
    win::MessageBox(nullptr, text, scene::msg::kSceneCaption, win::Buttons::Ok, win::Icon::Error);
}

}  // namespace

bool CMainDoc::OnNewDocument() {
    ResetScene();
    m_title = kNewDocumentTitle;
    m_pathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CMainDoc::OnOpenDocument(const std::string& path) {
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) {
        Tell(scene::msg::kCannotOpen);
        return false;
    }
    const QByteArray data = file.readAll();
    file.close();
    // The file is read and checked whole before the open scene is touched: a file that cannot be
    // opened leaves the scene, the settings and the pages as they were.
    scene::SceneContent content;
    switch (CSceneFile::Read(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                       static_cast<std::size_t>(data.size())),
                             content)) {
        case scene::SceneFileStatus::Ok:
            break;
        case scene::SceneFileStatus::Foreign:
            Tell(scene::msg::kForeignFile);
            return false;
        case scene::SceneFileStatus::NewerVersion:
            Tell(scene::msg::kNewerVersion);
            return false;
        case scene::SceneFileStatus::Damaged:
            Tell(scene::msg::kDamagedFile);
            return false;
    }

    ResetScene();
    CSceneFile::Build(*this, content);
    m_title = BaseName(path);
    m_pathName = path;
    SetModifiedFlag(false);
    return true;
}

bool CMainDoc::OnSaveDocument(const std::string& path) {
    const std::vector<std::uint8_t> bytes = CSceneFile::Write(*this);
    if (!scene::WriteWholeFile(path, bytes)) {
        Tell(scene::msg::kCannotSave);
        return false;
    }
    m_title = BaseName(path);
    m_pathName = path;
    SetModifiedFlag(false);
    return true;
}

bool CMainDoc::OnRestoreDocument(const std::string& recoveryPath, const std::string& scenePath) {
    if (!OnOpenDocument(recoveryPath)) return false;
    m_title = scenePath.empty() ? kNewDocumentTitle : BaseName(scenePath);
    m_pathName = scenePath;
    SetModifiedFlag();
    return true;
}
