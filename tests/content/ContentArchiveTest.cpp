// The packed library: volumes, lists, thumbnails, definition texts and the pictures beside the
// executables, read the way the application reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "archive/ArchiveVolumeSource.h"
#include "base/Cp932.h"
#include "content/ContentFixture.h"
#include "platform/win/ScriptedPrompts.h"
#include "render/jpeg/JpegDecoder.h"
#include "support/CaseNames.h"

namespace {

using content::Library;

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Cp932(const char* utf8) {
    return cp932::FromUtf8(utf8);
}

// Every plist.txt of the archive with its folder.
std::vector<std::pair<std::string, std::string>> AllLists(Library& lib) {
    std::vector<std::pair<std::string, std::string>> lists;
    for (const auto& name : lib.Names())
        if (EndsWith(name, "PLIST.TXT"))
            lists.push_back({name.substr(0, name.size() - 9), lib.Text(name)});
    return lists;
}

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

Decoded DecodeJpeg(const std::string& bytes) {
    Decoded d;
    jpeg::JpegDecoder decoder;
    if (!decoder.ReadHeader({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})) return d;
    d.width = decoder.Width();
    d.height = decoder.Height();
    d.pixels.resize(static_cast<std::size_t>(d.width) * d.height * 4);
    d.ok = decoder.Decode({d.pixels.data(), d.width * 4, 32, 0, 0, 0});
    return d;
}

TEST(ContentArchive, BothVolumesOpenAsArchivesWithoutAnyMessage) {
    win::ScopedPrompts prompts;
    Library lib;
    ASSERT_EQ(lib.Archive().SourceCount(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_NE(dynamic_cast<const CArchiveVolumeSource*>(lib.Archive().Source(i)), nullptr)
            << "volume " << i + 1;
    EXPECT_TRUE(lib.Read("light.txt").has_value());
    EXPECT_TRUE(lib.Read("PROP\\plist.txt").has_value());
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

TEST(ContentArchive, PropsAndTheirListLieOnTheSecondVolume) {
    const std::string bin = content::BinFolder();
    std::ifstream index(bin + "disk2.VDH", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(index)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("PROP\\PLIST.TXT"), std::string::npos);
    EXPECT_NE(bytes.find("PROP\\HAT.X"), std::string::npos);
    std::ifstream index1(bin + "disk1.VDH", std::ios::binary);
    const std::string bytes1((std::istreambuf_iterator<char>(index1)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes1.find("PROP\\"), std::string::npos);
}

TEST(ContentArchive, DriveListNamesTheUnpackedTreesOfBothVolumes) {
    std::ifstream drive(content::BinFolder() + "drive.dat");
    std::string line;
    std::getline(drive, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    const auto folders = cp932::Split(line, '|');
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(folders[0] + "plist.txt"));
    EXPECT_TRUE(std::filesystem::exists(folders[1] + "PROP/plist.txt"));
    EXPECT_LT(line.size(), 255u);
}

TEST(ContentLists, EveryEntryNamesAPartAndAThumbnailThatTheArchiveHolds) {
    win::ScopedPrompts prompts;
    Library lib;
    const auto lists = AllLists(lib);
    ASSERT_GT(lists.size(), 10u);
    for (const auto& [folder, text] : lists) {
        const auto entries = content::ParseList(folder, text);
        EXPECT_FALSE(entries.empty()) << folder;
        for (const auto& e : entries) {
            EXPECT_TRUE(lib.Read(e.part).has_value()) << e.part;
            EXPECT_TRUE(lib.Read(e.thumbnail).has_value()) << e.thumbnail;
            EXPECT_FALSE(e.name.empty());
        }
    }
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

TEST(ContentLists, EveryTreeFolderHasAList) {
    Library lib;
    std::vector<std::string> trees = {"light.txt", "option.txt"};
    for (const auto& name : lib.Names())
        if (EndsWith(name, ".TRE")) trees.push_back(name);
    std::size_t folders = 0;
    for (const auto& tree : trees) {
        for (const auto& line : content::Tokens(lib.Text(tree), "\r\n", 3)) {
            const auto f = content::Fields(line);
            ASSERT_GE(f.size(), 2u) << line;
            if (f[0].rfind("LIGHT", 0) == 0) continue;  // light markers are not chosen from a list
            ++folders;
            EXPECT_TRUE(lib.Read(f[0] + "plist.txt").has_value()) << f[0];
        }
    }
    EXPECT_GT(folders, 60u);
}

TEST(ContentLists, EveryThumbnailDecodesToA64By64PictureThatShowsSomething) {
    Library lib;
    std::size_t count = 0;
    for (const auto& [folder, text] : AllLists(lib))
        for (const auto& e : content::ParseList(folder, text)) {
            const Decoded d = DecodeJpeg(lib.Text(e.thumbnail));
            ASSERT_TRUE(d.ok) << e.thumbnail;
            EXPECT_EQ(d.width, 64);
            EXPECT_EQ(d.height, 64);
            // The subject differs from the plain background in the corner.
            std::size_t differing = 0;
            for (std::size_t p = 0; p < d.pixels.size(); p += 4)
                differing += std::abs(d.pixels[p] - d.pixels[0]) + std::abs(d.pixels[p + 1] - d.pixels[1]) +
                                 std::abs(d.pixels[p + 2] - d.pixels[2]) >
                             60;
            EXPECT_GT(differing, 40u) << e.thumbnail;
            ++count;
        }
    EXPECT_GT(count, 100u);
}

TEST(ContentLists, RootListOffersAtLeastFivePoseSets) {
    Library lib;
    const auto entries = content::ParseList("", lib.Text("plist.txt"));
    ASSERT_GE(entries.size(), 5u);
    for (const auto& e : entries) EXPECT_TRUE(EndsWith(cp932::ToUpper(e.part), ".OBJ")) << e.part;
}

TEST(ContentLists, FoldersOfHeadHandsAndBodyOfferAlternatives) {
    Library lib;
    for (const char* folder : {"BODY_STAND\\", "BODY_STAND\\HEAD\\", "BODY_STAND\\ARML\\FARML\\HANDL\\",
                               "BODY_STAND\\ARMR\\FARMR\\HANDR\\", "BODY_SIT\\HEAD\\"}) {
        const auto entries = content::ParseList(folder, lib.Text(std::string(folder) + "plist.txt"));
        EXPECT_GE(entries.size(), 3u) << folder;
        std::set<std::string> parts;
        for (const auto& e : entries) parts.insert(e.part);
        EXPECT_EQ(parts.size(), entries.size()) << folder;
    }
}

TEST(ContentDefinitions, TreeAndLightTextsCarryTheJapaneseLabels) {
    Library lib;
    const std::string lights = lib.Text("light.txt");
    for (const char* label : {"太陽光", "点光源１", "点光源２", "点光源３"})
        EXPECT_NE(lights.find(Cp932(label)), std::string::npos) << label;
    EXPECT_NE(lights.find("LIGHT4\\"), std::string::npos);
    const auto options = content::Tokens(lib.Text("option.txt"), "\r\n", 3);
    ASSERT_FALSE(options.empty());
    const auto option = content::Fields(options.back());
    ASSERT_GE(option.size(), 3u) << options.back();
    EXPECT_NE(option[2].find("ADD"), std::string::npos);
    // Labels are code page 932, not UTF-8: the UTF-8 bytes of a label are nowhere.
    EXPECT_EQ(lights.find("太陽光"), std::string::npos);
}

TEST(ContentDefinitions, TheOptionEntryOffersAtLeastSixTopLevelProps) {
    Library lib;
    const auto options = content::Tokens(lib.Text("option.txt"), "\r\n", 3);
    ASSERT_FALSE(options.empty());
    const std::string folder = content::Fields(options.back())[0];
    const auto props = content::ParseList(folder, lib.Text(folder + "plist.txt"));
    EXPECT_GE(props.size(), 6u);
    // A prop hangs on the option frame only when its folder has no parent folder.
    for (const auto& p : props) EXPECT_EQ(content::ParentFolderOf(p.part), "") << p.part;
}

struct PictureCase {
    const char* path;
    bool jpeg;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << testsupport::Printable(c.path); }

class ContentPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(ContentPictures, LieBesideTheExecutableAndDecode) {
    const std::string path = content::BinFolder() + GetParam().path;
    std::ifstream f(path, std::ios::binary);
    ASSERT_TRUE(f) << path;
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (GetParam().jpeg) {
        const Decoded d = DecodeJpeg(bytes);
        ASSERT_TRUE(d.ok);
        EXPECT_GE(d.width, 640);
        EXPECT_GE(d.height, 480);
    } else {
        auto lib = rm::Library::Create();
        auto texture = lib->LoadTexture(path);
        ASSERT_TRUE(texture);
        EXPECT_EQ(bytes[28], 24);  // bits per pixel
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ContentPictures,
    ::testing::Values(PictureCase{"TEXTURE/eye_01a.bmp", false}, PictureCase{"TEXTURE/eye_02a.bmp", false},
                      PictureCase{"TEXTURE/eye_03a.bmp", false}, PictureCase{"IMAGE/eye_04a.bmp", false},
                      PictureCase{"BACKGROUND/bg_01.jpg", true}, PictureCase{"BACKGROUND/bg_02.jpg", true},
                      PictureCase{"BACKGROUND/bg_03.jpg", true}, PictureCase{"IMAGE/bg_04.jpg", true}),
    testsupport::PrintedName());

}  // namespace
