// Writes a starting corpus of profile.dat files, made by the settings store itself, into the folder
// given: no settings, the view and render settings the program keeps, and odd values (empty, long,
// non-ASCII, a key without a section).
#include <cstdio>
#include <string>

#include "SeedFile.h"
#include "core/SettingsStore.h"

namespace {

bool Write(const std::string& path, const CSettingsStore& store) {
    return fuzzseed::WriteSeed(path, store.Serialize());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: profile_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    CSettingsStore store;
    bool ok = Write(folder + "/empty.dat", store);
    store.SetSettingFloat("view", "field", 45.0f);
    store.SetSettingFloat("view", "front", 0.5f);
    store.SetSettingInt("view", "mask", 3);
    store.SetSettingInt("render", "width", 640);
    store.SetSettingInt("render", "height", 480);
    store.SetSettingInt("render", "antialias", 1);
    store.SetSettingString("render", "bg", "BACKGROUND\\bg_01.jpg");
    store.SetSettingString("render", "name", "C:\\out\\render.bmp");
    ok = Write(folder + "/program.dat", store) && ok;
    store.SetSettingString("render", "name", "");
    store.SetSettingString("dev", "mode", std::string(300, '9'));
    store.SetSettingString("", "", "\x83\x5C\xE3\x81\x82");
    ok = Write(folder + "/odd.dat", store) && ok;
    return ok ? 0 : 1;
}
