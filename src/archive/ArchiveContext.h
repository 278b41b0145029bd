#pragma once
// What the archive set needs from the application, passed in so that this layer does not reach up
// to the application object.

#include <functional>
#include <memory>
#include <string>

#include "base/Progress.h"

class QWidget;

// The archive set of the application: its volume list "%sdisk1.vd|%sdisk2.vd|" with the application
// folder (ending in "/") for both "%s", and the extensions the builder compresses.
inline constexpr char kVolumeListFormat[] = "%sdisk1.vd|%sdisk2.vd|";
inline std::string VolumeListFor(const std::string& appFolder) {
    return appFolder + "disk1.vd|" + appFolder + "disk2.vd|";
}
inline constexpr char kCompressionFilter[] = ".X;.TXT;";

struct ArchiveContext {
    // The application folder, ending in "/": volume indexes are read from here, and the builder
    // started from a volume error writes here.
    std::string appFolder;
    // The installation folder value "setup"/"setup-path" ("?" when unset): a volume that is not at
    // its own path is looked for there.
    std::string setupPath = "?";
    // Makes the progress display of the builder started with SHIFT at a volume error (opened for the
    // build, closed when the object goes). None: the build reports no progress.
    std::function<std::unique_ptr<ProgressSink>()> makeBuildProgress;
    // Owner window of the insert-disc question.
    QWidget* messageOwner = nullptr;
};
