// Writes a starting corpus of scene files, made by the scene writer from the harness's document,
// into the folder given: the empty scene, the tiny figure in its pose set, and the figure with its
// arm hidden.
#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "SceneFuzzWorld.h"
#include "SeedFile.h"
#include "scene/SceneFile.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scene_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    scenefuzz::World world;
    CMainDoc& doc = *world.doc;
    bool ok = fuzzseed::WriteSeed(folder + "/empty.mrs", CSceneFile::Write(doc));
    doc.LoadPoseSet(scenefuzz::kPoseSet);
    ok = fuzzseed::WriteSeed(folder + "/figure.mrs", CSceneFile::Write(doc)) && ok;
    if (HTREEITEM arm = doc.FindItemByFolder("BODY\\ARML\\")) {
        doc.SetPartVisible(arm, 0);
        ok = fuzzseed::WriteSeed(folder + "/hidden_arm.mrs", CSceneFile::Write(doc)) && ok;
    }
    return ok ? 0 : 1;
}
