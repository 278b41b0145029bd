// The names of mirror partners: the final L and R of every folder name exchanged, case kept, and no
// partner for paths that have no side.

#include <gtest/gtest.h>

#include "scene/PartMirror.h"

namespace {

TEST(PartMirrorTest, PartnerFoldersExchangeTheFinalLAndROfEveryName) {
    const struct {
        const char* path;
        const char* partner;
    } rows[] = {
        {"ARML\\", "ARMR\\"},
        {"ARML\\FARML\\HANDL\\", "ARMR\\FARMR\\HANDR\\"},
        {"LEGR\\SHINR\\", "LEGL\\SHINL\\"},
        {"arml\\", "armr\\"},
        {"HEAD\\", ""},
        {"HEAD\\EARL\\", "HEAD\\EARR\\"},
        {"", ""},
        {"\\\\", ""},
    };
    for (const auto& r : rows) EXPECT_EQ(scene::MirrorFolderPath(r.path), r.partner) << r.path;
}

}  // namespace
