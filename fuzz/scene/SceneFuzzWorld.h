#pragma once
// A document for the scene file harness and its seed writer: its archive (a folder tree in a
// temporary folder, packed into a volume) holds a tiny figure (a body with an ARML link frame and an
// arm, a pose set P), so that records that name those meshes really load, link and take colours.

#include <QTemporaryDir>
#include <memory>

#include "archive/Communicator.h"
#include "core/SettingsStore.h"
#include "platform/rm/Library.h"
#include "scene/MainDoc.h"
#include "scene/PartsTree.h"

namespace scenefuzz {

// The pose set of the tiny figure.
inline constexpr const char* kPoseSet = "POSE\\P.OBJ";

struct World {
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Puts the program's settings back as they were when the world was made: a scene file brings
    // its own (eye and background pictures, view field), and one input must not leave them to the next.
    void RestoreSettings();

    QTemporaryDir dir;
    CCommunicator archive;
    rm::Ref<rm::Library> library = rm::Library::Create();
    CPartsTree tree;
    std::unique_ptr<CMainDoc> doc;
    CSettingsStore settings;
};

}  // namespace scenefuzz
