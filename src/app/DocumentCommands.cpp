#include "app/DocumentCommands.h"

#include <QCloseEvent>
#include <QObject>
#include <memory>

#include "app/MainFrame.h"
#include "app/ProgressWindow.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "platform/win/UserPrompts.h"
#include "scene/MainDoc.h"

namespace {

win::FileChooserRequest SceneChooser(CMainFrame& frame, const char* caption, const CMainDoc& doc) {
    win::FileChooserRequest request;
    request.owner = &frame;
    request.caption = caption;
    request.filter = CMainDoc::kFileFilter;
    request.initialPath = doc.GetPathName();
    return request;
}

// The main view shows the new scene: its tree, the first tab, the pages in line. Without a main
// view only the tree is prepared.
void InitialUpdate(CMainDoc& doc) {
    if (auto* view = dynamic_cast<CMainView*>(GetApp()->m_pMainView))
        view->OnInitialUpdate();
    else
        doc.PrepareTree();
}

void Opened(CMainFrame& frame, CMainDoc& doc) {
    frame.AddRecentFile(QString::fromStdString(doc.GetPathName()));
    frame.UpdateTitle(TitleWithMark(doc));
}

// Closing the window (the exit command, the window manager) first offers to save. An end by a
// termination signal leaves the event loop without closing, and asks nothing should a close come.
class CloseGuard : public QObject {
  public:
    CloseGuard(CMainFrame& frame, CMainDoc& doc);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_frame || event->type() != QEvent::Close || GetApp()->m_bEndingUnattended ||
            SaveModified(m_frame, m_doc))
            return false;
        event->ignore();
        return true;
    }

  private:
    CMainFrame& m_frame;
    CMainDoc& m_doc;
};

CloseGuard::CloseGuard(CMainFrame& frame, CMainDoc& doc) : QObject(&frame), m_frame(frame), m_doc(doc) {
    frame.installEventFilter(this);
}

}  // namespace

std::string TitleWithMark(const CMainDoc& doc) {
    return doc.IsModified() ? doc.GetTitle() + "*" : doc.GetTitle();
}

bool SaveModified(CMainFrame& frame, CMainDoc& doc) {
    if (!doc.IsModified()) return true;
    switch (win::MessageBox(&frame, "変更を保存しますか?", "Marisole", win::Buttons::YesNoCancel,
                            win::Icon::Question)) {
        case win::IDYES:
            return SaveSceneFile(frame, doc, false);
        case win::IDNO:
            return true;
        default:
            return false;
    }
}

bool OpenSceneFile(CMainFrame& frame, CMainDoc& doc, const std::string& path) {
    if (!doc.OnOpenDocument(path)) {
        frame.UpdateTitle(TitleWithMark(doc));
        return false;
    }
    InitialUpdate(doc);
    Opened(frame, doc);
    return true;
}

bool RestoreSceneFile(CMainFrame& frame, CMainDoc& doc, const std::string& recoveryPath, const std::string& scenePath) {
    const bool restored = doc.OnRestoreDocument(recoveryPath, scenePath);
    if (restored) InitialUpdate(doc);
    frame.UpdateTitle(TitleWithMark(doc));
    return restored;
}

bool SaveSceneFile(CMainFrame& frame, CMainDoc& doc, bool askForName) {
    std::string path = doc.GetPathName();
    if (askForName || path.empty()) {
        const auto chosen = win::Prompts().ChooseSaveFile(SceneChooser(frame, "名前を付けて保存", doc));
        if (!chosen || chosen->empty()) return false;
        path = *chosen;
        // The document type's extension when the name has none.
        const std::size_t slash = path.find_last_of('/');
        if (path.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos)
            path += CMainDoc::kDefaultExtension;
    }
    if (!doc.OnSaveDocument(path)) return false;
    Opened(frame, doc);
    return true;
}

void BindDocumentCommands(CMainFrame& frame, CMainDoc& doc) {
    doc.SetToolbarRefresh([&frame] { frame.RefreshToolbar(); });
    doc.SetProgressFactory([]() -> std::unique_ptr<ProgressSink> {
        auto progress = std::make_unique<CProgressWindow>();
        progress->Open(GetApp()->m_pMainWnd);
        return progress;
    });
    doc.SetModifiedHook([&frame, &doc] { frame.UpdateTitle(TitleWithMark(doc)); });
    new CloseGuard(frame, doc);
    frame.SetCommandHandler(ID_FILE_NEW, [&frame, &doc] {
        if (!SaveModified(frame, doc)) return;
        doc.OnNewDocument();
        InitialUpdate(doc);
        frame.UpdateTitle(TitleWithMark(doc));
    });
    frame.SetCommandHandler(ID_FILE_OPEN, [&frame, &doc] {
        if (!SaveModified(frame, doc)) return;
        const auto chosen = win::Prompts().ChooseOpenFile(SceneChooser(frame, "開く", doc));
        if (chosen && !chosen->empty()) OpenSceneFile(frame, doc, *chosen);
    });
    frame.SetCommandHandler(ID_FILE_SAVE, [&frame, &doc] { SaveSceneFile(frame, doc, false); });
    frame.SetCommandHandler(ID_FILE_SAVE_AS, [&frame, &doc] { SaveSceneFile(frame, doc, true); });
    frame.SetOpenFileHandler([&frame, &doc](const QString& path) {
        // Kept unopened is no fault of the file: its recent-file entry stays.
        if (!SaveModified(frame, doc)) return true;
        return OpenSceneFile(frame, doc, path.toStdString());
    });
}
