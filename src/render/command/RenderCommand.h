#pragma once
// The render command as the person runs it: the settings dialog, the optional joint smoothing
// (SHIFT aborts), the offscreen render with its progress window, the one failure message, the
// picture viewer on success, and the refresh request to the main view. The edit view supplies
// its camera and view root; the document its root frame and skin frames.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "platform/rm/Frame.h"
#include "platform/rm/Library.h"
#include "platform/surface/DirectDraw.h"

class CSettingsStore;
class QObject;
class QWidget;

struct RenderSceneContext {
    QWidget* mainWindow = nullptr;  // owner of the dialog, progress window and messages
    QObject* mainView = nullptr;    // receives the refresh request 1124
    surface::DirectDraw* directDraw = nullptr;
    rm::Library* library = nullptr;
    rm::Frame* camera = nullptr;
    rm::Frame* viewRoot = nullptr;
    rm::Frame* sceneRoot = nullptr;
    CSettingsStore* settings = nullptr;
    std::string documentTitle;
    std::string appFolder;  // where the viewer "im" lives (the program's folder), ending in "/"
    // The skin frames to smooth (the document's frames of the general name "肌").
    std::function<std::vector<rm::Ref<rm::Frame>>()> skinFrames;
    // Opens a progress window over the owner (none: progress is not shown).
    std::function<std::unique_ptr<ProgressSink>(QWidget* owner)> openProgress;
    // Starts a program detached (tests record instead).
    std::function<bool(const QString& program, const QStringList& arguments)> startProcess;
    // Runs the settings dialog; true for OK (tests answer without a dialog).
    std::function<bool()> runSettingsDialog;
};

enum class RenderSceneResult { NotAvailable, Cancelled, Aborted, Failed, Written };

RenderSceneResult RenderScene(const RenderSceneContext& context);

// Joint smoothing on the scene's skin meshes with its progress window; SHIFT stops it.
void SmoothJointsCommand(const RenderSceneContext& context, double threshold);
