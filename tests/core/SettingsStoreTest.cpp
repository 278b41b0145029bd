#include "core/SettingsStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>

namespace {

const std::vector<std::uint8_t> kSignature = {0x47, 0x2B, 0x9C, 0x3F, 0xD0, 0x81, 0x6A, 0x4E,
                                              0x9B, 0x25, 0x6C, 0x1E, 0x0A, 0x7D, 0x4F, 0x93};

std::vector<std::uint8_t> Bytes(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<std::uint8_t> Str(const std::string& s) {
    std::vector<std::uint8_t> out;
    out.reserve(s.size() + 1);
    out.push_back(static_cast<std::uint8_t>(s.size()));
    for (char c : s) out.push_back(static_cast<std::uint8_t>(c));
    return out;
}

std::string Folder(const QTemporaryDir& dir) { return dir.path().toStdString() + "/"; }

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(SettingsStore, TypedReadsAndTheirDefaults) {
    CSettingsStore s;
    EXPECT_FLOAT_EQ(s.GetSettingFloat("view", "field", 1.5f), 1.5f);
    s.SetSettingFloat("view", "field", 4);
    EXPECT_EQ(s.GetSettingString("view", "field", ""), "4.000000");
    EXPECT_FLOAT_EQ(s.GetSettingFloat("view", "field", 1.5f), 4.0f);

    s.SetSettingFloat("view", "tiny", 0.0000001f);
    EXPECT_EQ(s.GetSettingString("view", "tiny", ""), "0.000000");
    EXPECT_EQ(s.GetSettingFloat("view", "tiny", 9.0f), 0.0f);
    // A default keeps only six decimals, as it goes through the same text form.
    EXPECT_FLOAT_EQ(s.GetSettingFloat("view", "absent", 0.0000001f), 0.0f);

    s.SetSettingString("dev", "mode", "abc");
    EXPECT_EQ(s.GetSettingInt("dev", "mode", 2), 0) << "a non-number reads as 0, not the default";
    EXPECT_EQ(s.GetSettingInt("dev", "other", 2), 2);
    s.SetSettingInt("dev", "mode", -17);
    EXPECT_EQ(s.GetSettingString("dev", "mode", ""), "-17");
    // Keys are case-sensitive and section-qualified.
    EXPECT_EQ(s.GetSettingInt("Dev", "mode", 5), 5);
    EXPECT_EQ(s.Values().count("dev/mode"), 1u);
}

TEST(SettingsStore, NumberParsingFollowsAtoiAndAtof) {
    struct Row {
        const char* text;
        int asInt;
        float asFloat;
    } rows[] = {{"  42abc", 42, 42.0f}, {"-3.75", -3, -3.75f}, {"1e2", 1, 100.0f},
                {"", 0, 0.0f},          {"x1", 0, 0.0f},      {"+7", 7, 7.0f}};
    for (const auto& r : rows) {
        EXPECT_EQ(ParseSettingInt(r.text), r.asInt) << r.text;
        EXPECT_FLOAT_EQ(ParseSettingFloat(r.text), r.asFloat) << r.text;
    }
}

TEST(SettingsStore, FileLayoutIsExact) {
    CSettingsStore s;
    s.SetSettingInt("dev", "mode", 2);
    EXPECT_EQ(s.Serialize(), Bytes({kSignature, {0x01, 0x00}, Str("dev/mode"), Str("2")}));

    // Prefix forms: 254 characters take one byte, 255 take FF FF 00.
    CSettingsStore lengths;
    lengths.SetSettingString("a", std::string(252, 'k'), "v");  // key "a/" + 252 = 254 bytes
    std::vector<std::uint8_t> bytes = lengths.Serialize();
    EXPECT_EQ(bytes[18], 0xFE);
    CSettingsStore longer;
    longer.SetSettingString("a", std::string(253, 'k'), "v");  // 255 bytes
    bytes = longer.Serialize();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 18, bytes.begin() + 21),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0x00}));
}

TEST(SettingsStore, RoundTripAcceptsAnyEntryOrder) {
    QTemporaryDir dir;
    // Written by hand in reverse order, with a later duplicate replacing an earlier one.
    WriteFile(Folder(dir) + "profile.dat",
              Bytes({kSignature, {0x03, 0x00}, Str("view/mask"), Str("1"), Str("dev/mode"), Str("0"),
                     Str("dev/mode"), Str("4")}));
    CSettingsStore s;
    ASSERT_TRUE(s.LoadProfile(Folder(dir), "profile.dat"));
    EXPECT_EQ(s.GetSettingInt("view", "mask", 0), 1);
    EXPECT_EQ(s.GetSettingInt("dev", "mode", 2), 4);
    s.SetSettingString("render", "name", std::string(300, 'n'));
    s.SetSettingString("render", "bg", "/home/ユーザー/背景.jpg");
    ASSERT_TRUE(s.SaveProfile(Folder(dir), "profile.dat"));
    CSettingsStore again;
    ASSERT_TRUE(again.LoadProfile(Folder(dir), "profile.dat"));
    EXPECT_EQ(again.Values(), s.Values());
}

TEST(SettingsStore, ForeignTruncatedAndMalformedFilesGiveAnEmptyStore) {
    const auto good = Bytes({kSignature, {0x01, 0x00}, Str("dev/mode"), Str("2")});
    std::vector<std::uint8_t> foreign = good;
    foreign[3] ^= 0xFF;
    const std::vector<std::vector<std::uint8_t>> cases = {
        foreign,
        {good.begin(), good.end() - 1},                                    // value cut short
        {good.begin(), good.begin() + 17},                                 // count cut short
        Bytes({kSignature, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}),         // absurd count
        Bytes({kSignature, {0x02, 0x00}, Str("dev/mode"), Str("2")}),      // count larger than entries
        {kSignature.begin(), kSignature.begin() + 10},
    };
    QTemporaryDir dir;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        WriteFile(Folder(dir) + "profile.dat", cases[i]);
        CSettingsStore s;
        s.SetSettingInt("old", "value", 1);
        EXPECT_FALSE(s.LoadProfile(Folder(dir), "profile.dat")) << i;
        EXPECT_TRUE(s.Values().empty()) << i;
    }
    CSettingsStore s;
    EXPECT_FALSE(s.LoadProfile(Folder(dir), "missing.dat"));
}

TEST(SettingsStore, ForeignFileIsOverwrittenAtTheNextSave) {
    QTemporaryDir dir;
    WriteFile(Folder(dir) + "profile.dat", {'n', 'o', 't', ' ', 'o', 'u', 'r', 's'});
    CSettingsStore s;
    EXPECT_FALSE(s.LoadProfile(Folder(dir), "profile.dat"));
    s.SetSettingInt("view", "mask", 1);
    ASSERT_TRUE(s.SaveProfile(Folder(dir), "profile.dat"));
    EXPECT_EQ(ReadFile(Folder(dir) + "profile.dat"), s.Serialize());
}

TEST(SettingsStore, SavingNeedsAFolderAndNeverLeavesAHalfFile) {
    CSettingsStore s;
    s.SetSettingInt("view", "mask", 1);
    EXPECT_FALSE(s.SaveProfile("", "profile.dat"));
    EXPECT_FALSE(s.SaveProfile("/", "profile.dat"));
    // A folder that does not exist: nothing is written, the call fails.
    EXPECT_FALSE(s.SaveProfile("/nonexistent-folder-for-marisole/", "profile.dat"));

    // A failed save keeps the previous file as it was.
    QTemporaryDir dir;
    ASSERT_TRUE(s.SaveProfile(Folder(dir), "profile.dat"));
    const auto before = ReadFile(Folder(dir) + "profile.dat");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    s.SetSettingInt("view", "mask", 0);
    const bool saved = s.SaveProfile(Folder(dir), "profile.dat");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // As root the folder stays writable; the save then succeeds and writes the new map.
    EXPECT_EQ(ReadFile(Folder(dir) + "profile.dat"), saved ? s.Serialize() : before);
}

}  // namespace
