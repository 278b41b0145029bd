// Scene files: the byte layout of part and colour records, the save/open round trip, the placement
// of the document's own frames (and files of version 1 without it), and damaged or foreign files.

#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "SceneFixture.h"
#include "core/MainApp.h"
#include "base/ArchiveStream.h"
#include "scene/FrameNames.h"
#include "scene/PartIndexTable.h"
#include "scene/SceneFile.h"

namespace {

// One part record as the test reads it back, independently of the document's reader.
struct Record {
    std::uint32_t id = 0;
    std::int32_t index = 0, parent = 0;
    std::string folder, path, link, parentFrame, parentPath;
    float placement[15] = {};
    struct Color {
        std::uint32_t id;
        std::string general, remark, target;
        std::uint32_t diffuse, specular, emissive;
        float power;
        std::string ownerPath;
        std::int32_t owner;
    };
    std::vector<Color> colors;
    std::vector<Record> children;
};

Record ReadRecord(LoadingArchive& ar) {
    Record r;
    r.id = ar.ReadU32();
    r.index = ar.ReadI32();
    r.parent = ar.ReadI32();
    r.folder = ar.ReadString();
    r.path = ar.ReadString();
    r.link = ar.ReadString();
    r.parentFrame = ar.ReadString();
    for (float& f : r.placement) f = ar.ReadF32();
    r.parentPath = ar.ReadString();
    const std::int32_t colors = ar.ReadI32();
    for (std::int32_t i = 0; i < colors && ar.Ok(); ++i) {
        Record::Color c;
        c.id = ar.ReadU32();
        c.general = ar.ReadString();
        c.remark = ar.ReadString();
        c.target = ar.ReadString();
        c.diffuse = ar.ReadU32();
        c.specular = ar.ReadU32();
        c.emissive = ar.ReadU32();
        c.power = ar.ReadF32();
        c.ownerPath = ar.ReadString();
        c.owner = ar.ReadI32();
        r.colors.push_back(c);
    }
    const std::int32_t children = ar.ReadI32();
    for (std::int32_t i = 0; i < children && ar.Ok(); ++i) r.children.push_back(ReadRecord(ar));
    return r;
}

void SkipHeader(LoadingArchive& ar, scene::SceneHeader& header) {
    ASSERT_EQ(CSceneFile::ReadHeader(ar, header), scene::SceneFileStatus::Ok);
}

TEST_F(SceneTest, AThreeLevelChainIsWrittenInPreOrder) {
    rm::Frame* charRoot = doc->GetCharacterRootFrame();
    ASSERT_NE(doc->LoadPart(kBodyPath, nullptr, charRoot), nullptr);
    doc->LoadPart(kArmPath, nullptr, charRoot);
    doc->LoadPart(kHandPath, nullptr, charRoot);
    // Parts hung on a parent part are found through the document (LoadPart returns top-level ones).
    ASSERT_NE(Part(kArmPath), nullptr);
    ASSERT_NE(Part(kHandPath), nullptr);
    Part(kArmPath)->GetFrame()->SetPosition(nullptr, 1.5f, -2, 3);

    const std::vector<std::uint8_t> bytes = CSceneFile::Write(*doc);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::memcmp(bytes.data(), "MRSCENE\x1A", 8), 0);
    LoadingArchive ar(bytes);
    scene::SceneHeader header;
    SkipHeader(ar, header);
    EXPECT_EQ(header.partCount, 3u);
    EXPECT_EQ(header.poseSet, "");
    EXPECT_FALSE(header.hasLights);
    ASSERT_EQ(ar.ReadU32(), 1u);  // one top-level part

    const Record body = ReadRecord(ar);
    EXPECT_EQ(body.id, 0xF529AC31u);
    EXPECT_EQ(body.index, 0);
    EXPECT_EQ(body.parent, -1);
    EXPECT_EQ(body.folder, "BODY_B\\");
    EXPECT_EQ(body.path, kBodyPath);
    EXPECT_EQ(body.link, "BODY_B");
    EXPECT_EQ(body.parentFrame, "frm-_root");
    EXPECT_EQ(body.parentPath, "(null)");
    EXPECT_EQ(body.placement[5], 1.0f);   // direction z
    EXPECT_EQ(body.placement[7], 1.0f);   // up y
    EXPECT_EQ(body.placement[12], 3.0f);  // box: max x of the quads (HEAD's; the marker HHH lost its mesh)
    ASSERT_EQ(body.colors.size(), 3u);
    EXPECT_EQ(body.colors[0].id, 0xB04F41C7u);
    EXPECT_EQ(body.colors[0].general, Sjis("肌"));
    EXPECT_EQ(body.colors[0].remark, "skin");
    EXPECT_EQ(body.colors[0].target, "BODY");
    EXPECT_EQ(body.colors[0].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(body.colors[0].specular, 0x5A5A5Au);
    EXPECT_EQ(body.colors[0].emissive, 0u);
    EXPECT_EQ(body.colors[0].power, 50.0f);
    EXPECT_EQ(body.colors[0].ownerPath, kBodyPath);
    EXPECT_EQ(body.colors[0].owner, 0);

    ASSERT_EQ(body.children.size(), 1u);
    const Record& arm = body.children[0];
    EXPECT_EQ(arm.index, 1);
    EXPECT_EQ(arm.parent, 0);
    EXPECT_EQ(scene::NormaliseFrameName(arm.parentFrame), "ARML");
    EXPECT_NE(arm.parentFrame.find('@'), std::string::npos);
    EXPECT_EQ(arm.parentPath, kBodyPath);
    EXPECT_EQ(arm.placement[0], 1.5f);
    EXPECT_EQ(arm.placement[1], -2.0f);
    ASSERT_EQ(arm.colors.size(), 1u);
    EXPECT_EQ(arm.colors[0].owner, 1);
    ASSERT_EQ(arm.children.size(), 1u);
    EXPECT_EQ(arm.children[0].index, 2);
    EXPECT_EQ(arm.children[0].parent, 1);
    EXPECT_TRUE(arm.children[0].children.empty());
    EXPECT_EQ(ar.ReadU32(), 0u);  // no option entries
    EXPECT_EQ(ar.ReadU32(), 0u);  // no hidden parts
    EXPECT_TRUE(ar.Ok());
    EXPECT_TRUE(ar.AtEnd());
}

TEST(SceneRecords, APathLongerThan254BytesUsesTheWideLengthForm) {
    CPartObject part;
    part.m_definitionPath = std::string(300, 'P');
    StoringArchive out;
    CPartIndexTable table;
    table.Prepare(1);
    part.Serialize(out, table);
    const auto& b = out.Bytes();
    // id, index, parent index, folder "n/a", then the path: 0xFF and a 16-bit length.
    const std::size_t at = 12 + 1 + 3;
    ASSERT_GT(b.size(), at + 3);
    EXPECT_EQ(b[at], 0xFF);
    EXPECT_EQ(b[at + 1] | (b[at + 2] << 8), 300);
    LoadingArchive in(b);
    in.ReadBytes(12);
    EXPECT_EQ(in.ReadString(), "n/a");
    EXPECT_EQ(in.ReadString(), std::string(300, 'P'));
    EXPECT_EQ(table.Take(&part), -1);  // full
}

// What a user sees of a scene, for comparing before saving and after opening.
struct Snapshot {
    std::vector<std::string> parts;
    std::vector<std::string> labels;
    std::vector<std::uint32_t> lights;
    float field = 0;
    std::string background;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
    friend void PrintTo(const Snapshot& s, std::ostream* out) {
        for (const auto& p : s.parts) *out << "\n  part " << p;
        for (const auto& l : s.labels) *out << "\n  label " << l;
        for (auto l : s.lights) *out << "\n  light " << std::hex << l << std::dec;
        *out << "\n  field " << s.field << " background " << s.background;
    }
};

Snapshot Take(const CMainDoc& doc, const CPartsTree& tree, rm::Library& library) {
    Snapshot s;
    for (CPartObject* p : doc.AllParts()) {
        std::string line = p->m_definitionPath + " on " +
                           scene::NormaliseFrameName(p->GetFrame() && p->GetFrame()->Parent()
                                                         ? p->GetFrame()->Parent()->GetName()
                                                         : "-");
        rm::Vector pos, dir, up;
        p->GetFrame()->GetPosition(nullptr, &pos);
        p->GetFrame()->GetOrientation(nullptr, &dir, &up);
        char text[200];
        std::snprintf(text, sizeof text, " at %.4f %.4f %.4f dir %.4f %.4f %.4f up %.4f %.4f %.4f vis %d",
                      pos.x, pos.y, pos.z, dir.x, dir.y, dir.z, up.x, up.y, up.z, p->IsVisible() ? 1 : 0);
        line += text;
        for (const auto& c : p->ColorObjects()) {
            std::snprintf(text, sizeof text, " [%s %08X %06X %06X %.1f]", c->m_targetFrame.c_str(),
                          c->m_diffuse, c->m_specular, c->m_emissive, c->m_power);
            line += text;
        }
        s.parts.push_back(line);
    }
    for (HTREEITEM item : tree.Inserted()) {
        int image = 0, selected = 0;
        tree.GetItemImage(item, image, selected);
        s.labels.push_back(tree.GetItemText(item) + (tree.GetCheck(item) ? " +" : " -") +
                           std::to_string(image) + " under " + tree.GetItemText(tree.GetParentItem(item)));
    }
    for (int k = 0; k < 5; ++k) {
        auto light = rm::RefCast<rm::Light>(library.GetNamedObject("LIGHTOBJECT@" + std::to_string(k)));
        s.lights.push_back(light ? light->GetColor() : 0);
    }
    s.field = GetApp()->GetSettingFloat("view", "field", 0);
    s.background = GetApp()->GetSettingString("render", "bg", "") + "|" +
                   std::to_string(GetApp()->GetSettingInt("bg", "edit", 0));
    return s;
}

class SceneFileTest : public SceneTest {
  protected:
    // The figure with an option part, a moved arm, new colours, a hidden hand, a changed light,
    // lens and background.
    void BuildEditedScene() {
        ASSERT_NO_FATAL_FAILURE(LoadFigure());
        tree.SelectItem(doc->GetOptionItem());
        doc->ApplySelection("PROPS\\cup.x", "cup");
        rm::Frame* arm = Part(kArmPath)->GetFrame();
        ASSERT_NE(arm, nullptr);
        arm->SetPosition(nullptr, 0.25f, 1.5f, -2);
        arm->SetOrientation(nullptr, 0, 1, 0, 0, 0, -1);
        for (CPartObject* p : doc->AllParts())
            for (const auto& c : p->ColorObjects()) {
                c->m_diffuse = 0x00102030;
                c->m_specular = 0x010203;
                c->m_power = 12.5f;
                c->ApplyColor();
            }
        doc->SetPartVisible(ItemLabelled("左手"), 0);
        tree.SetCheck(ItemLabelled("左手"), false);
        // The sun's marker shown, as a tick on 太陽光 shows it.
        doc->SetPartVisible(ItemLabelled("太陽光"), 1);
        tree.SetCheck(ItemLabelled("太陽光"), true);
        const auto light = rm::RefCast<rm::Light>(library->GetNamedObject("LIGHTOBJECT@2"));
        ASSERT_TRUE(light) << "LIGHTOBJECT@2";
        light->SetColor(0x00FF00);
        CPartObject* marker = Part("LIGHT1\\POINT.X");
        ASSERT_TRUE(marker && marker->GetFrame()) << "LIGHT1\\POINT.X";
        marker->GetFrame()->SetPosition(nullptr, 7, 8, 9);
        GetApp()->SetSettingFloat("view", "field", 6.5f);
        GetApp()->SetSettingInt("bg", "edit", 1);
        prompts->asked.clear();
    }
    std::string Save() {
        const std::string path = TempPath("pose1.mrs");
        EXPECT_TRUE(doc->OnSaveDocument(path));
        return path;
    }
    void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    std::vector<std::uint8_t> ReadFile(const std::string& path) {
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        return {data.begin(), data.end()};
    }
    bool SceneIsEmpty() const {
        return doc->AllParts().empty() && doc->TopLevelParts().empty() && doc->PartMap().empty() &&
               doc->FolderMap().empty() && doc->Figures().size() == 1u &&
               doc->GetCharacterRootFrame()->Children().empty() && doc->GetOptionFrame()->Children().empty();
    }
};

TEST_F(SceneFileTest, OpeningASavedSceneGivesBackTheSameScene) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    const Snapshot before = Take(*doc, tree, *library);
    const std::string path = Save();
    EXPECT_EQ(doc->GetTitle(), "pose1");

    ASSERT_TRUE(doc->OnNewDocument());
    ASSERT_TRUE(SceneIsEmpty());
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_TRUE(prompts->asked.empty()) << prompts->asked[0].text;
    const Snapshot after = Take(*doc, tree, *library);
    EXPECT_EQ(after.parts, before.parts);
    EXPECT_EQ(after.labels, before.labels);
    EXPECT_EQ(after.lights, before.lights);
    EXPECT_EQ(after.field, 6.5f);
    EXPECT_EQ(after.background, before.background);
    EXPECT_EQ(doc->GetTitle(), "pose1");
    EXPECT_EQ(doc->GetPathName(), path);

    // The scene is one the user can go on working with: indices, links, items and edit targets.
    for (std::size_t i = 0; i < doc->AllParts().size(); ++i)
        EXPECT_EQ(doc->AllParts()[i]->m_serialIndex, static_cast<std::int32_t>(i));
    EXPECT_EQ(Part(kArmPath)->GetParent(), Part(kBodyPath));
    EXPECT_EQ(doc->FindPartByItem(ItemLabelled("左腕")), Part(kArmPath));
    const HTREEITEM cupItem = tree.Children(doc->GetOptionItem()).at(0);
    EXPECT_EQ(doc->PartMap().at(cupItem), Part("PROPS\\cup.x"));
    EXPECT_EQ(doc->GetOptionItem(), ItemLabelled("小物"));
    EXPECT_EQ(doc->GetPoseSetPath(), kPoseSet);
    EXPECT_EQ(Part("PROPS\\cup.x")->GetFrame()->Parent(), doc->GetOptionFrame());

    // Saved again and opened again, it is still the same scene.
    ASSERT_TRUE(doc->OnSaveDocument(TempPath("again.mrs")));
    ASSERT_TRUE(doc->OnOpenDocument(TempPath("again.mrs")));
    EXPECT_EQ(Take(*doc, tree, *library), before);
}

// Records the texts shown by the progress displays the document opens.
class RecordingProgress final : public ProgressSink {
  public:
    explicit RecordingProgress(std::vector<std::string>& texts) : m_texts(texts) {}
    void SetTitle(const std::string& text) override { m_texts.push_back("title " + text); }
    void SetText(const std::string& text) override { m_texts.push_back(text); }
    void SetRange(int, int) override {}
    void SetPos(int) override {}

  private:
    std::vector<std::string>& m_texts;
};

TEST_F(SceneFileTest, OpeningShowsTheShareOfPartsReloaded) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    const std::string path = Save();
    std::vector<std::string> texts;
    doc->SetProgressFactory([&texts] { return std::make_unique<RecordingProgress>(texts); });
    ASSERT_TRUE(doc->OnOpenDocument(path));
    // Seven parts: 1 * 100 / 7 ... 7 * 100 / 7.
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "title 処理中", "オブジェクトを読み込んでいます。(14%)",
                         "オブジェクトを読み込んでいます。(28%)", "オブジェクトを読み込んでいます。(42%)",
                         "オブジェクトを読み込んでいます。(57%)", "オブジェクトを読み込んでいます。(71%)",
                         "オブジェクトを読み込んでいます。(85%)", "オブジェクトを読み込んでいます。(100%)"}));
    texts.clear();
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[1], "オブジェクトを読み込んでいます。 (0%)");
    EXPECT_EQ(texts[3], "オブジェクトを読み込んでいます。 (66%)");
}

TEST_F(SceneFileTest, AForeignOrUnreadableFileLeavesTheSceneAsItWas) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    prompts->asked.clear();
    WriteFile(TempPath("foreign.mrs"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'});
    EXPECT_FALSE(doc->OnOpenDocument(TempPath("foreign.mrs")));
    EXPECT_FALSE(doc->OnOpenDocument(TempPath("missing.mrs")));
    std::vector<std::uint8_t> newer = CSceneFile::Write(*doc);
    newer[8] = static_cast<std::uint8_t>(scene::kSceneVersion + 1);
    WriteFile(TempPath("newer.mrs"), newer);
    EXPECT_FALSE(doc->OnOpenDocument(TempPath("newer.mrs")));
    EXPECT_EQ(
        prompts->MessageTexts(),
        (std::vector<std::string>{"このファイルはシーンデータではありません。", "ファイルを開けません。",
                                  "このシーンデータは新しいバージョンで作成されているため開けません。"}));
    EXPECT_EQ(doc->AllParts().size(), 7u);
    EXPECT_EQ(doc->GetTitle(), "Mariso");
}

TEST_F(SceneFileTest, ATruncatedFileIsRefusedAtEveryLengthWithoutAHalfScene) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    const std::vector<std::uint8_t> whole = CSceneFile::Write(*doc);
    const std::string path = TempPath("cut.mrs");
    // Every length up to the end of the first part record's colours, then a coarser walk.
    for (std::size_t length = 0; length < whole.size(); length += (length < 400 ? 1 : 37)) {
        doc->OnNewDocument();
        prompts->asked.clear();
        WriteFile(path, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(length)));
        ASSERT_FALSE(doc->OnOpenDocument(path)) << length;
        ASSERT_EQ(prompts->asked.size(), 1u) << length;
        ASSERT_TRUE(SceneIsEmpty()) << length;
        ASSERT_EQ(doc->GetTitle(), "Mariso");
    }
    WriteFile(path, whole);
    doc->OnNewDocument();
    EXPECT_TRUE(doc->OnOpenDocument(path));
}

TEST_F(SceneFileTest, DamagedRecordsEndTheLoadWithAMessage) {
    rm::Frame* charRoot = doc->GetCharacterRootFrame();
    ASSERT_NE(doc->LoadPart(kBodyPath, nullptr, charRoot), nullptr) << kBodyPath;
    doc->LoadPart(kArmPath, nullptr, charRoot);
    ASSERT_NE(Part(kArmPath), nullptr);
    const std::vector<std::uint8_t> whole = CSceneFile::Write(*doc);
    LoadingArchive ar(whole);
    scene::SceneHeader header;
    SkipHeader(ar, header);
    const std::size_t top = ar.Position();       // top-level count
    const std::size_t record = top + 4;          // the body's record
    const std::size_t parentIndex = record + 8;  // its parent index
    const std::uint8_t colorId[] = {0xC7, 0x41, 0x4F, 0xB0};
    const std::size_t bodyColors = static_cast<std::size_t>(
        std::search(whole.begin(), whole.end(), std::begin(colorId), std::end(colorId)) - whole.begin());
    // id, "肌", "skin", "BODY", three colours, power, owner path: then the owner index.
    const std::size_t colorOwner = bodyColors + 4 + 3 + 5 + 5 + 12 + 4 + 14;
    ASSERT_EQ(whole[bodyColors], 0xC7);

    struct Patch {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Patch patches[] = {
        {"part serial id", record, 0x12345678},
        {"colour serial id", bodyColors, 0x12345678},
        {"parent index naming no earlier part", parentIndex, 5},
        {"owner index naming another part", colorOwner, 1},
        {"top-level count past the end", top, 0xFFFFFFFF},
        {"part count past the end", 12, 0x7FFFFFFF},
        {"colour count past the end", bodyColors - 4, 0x10000000},
    };
    const std::string path = TempPath("damaged.mrs");
    for (const Patch& patch : patches) {
        std::vector<std::uint8_t> bytes = whole;
        std::memcpy(&bytes[patch.at], &patch.value, 4);
        WriteFile(path, bytes);
        doc->OnNewDocument();
        prompts->asked.clear();
        const std::uint32_t errors = CPartIndexTable::ErrorCount();
        EXPECT_FALSE(doc->OnOpenDocument(path)) << patch.what;
        EXPECT_EQ(prompts->MessageTexts(),
                  (std::vector<std::string>{"シーンデータが壊れているため、読み込みを中止しました。"}))
            << patch.what;
        EXPECT_TRUE(SceneIsEmpty()) << patch.what;
        if (std::string_view(patch.what).find("serial id") != std::string_view::npos) {
            EXPECT_EQ(CPartIndexTable::ErrorCount(), errors + 1) << patch.what;
        }
    }
}

TEST_F(SceneFileTest, AFileThatCannotBeOpenedLeavesTheEditedSceneAndItsSettingsAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    const std::string saved = Save();
    const std::vector<std::uint8_t> whole = ReadFile(saved);
    // Edits after the save: the scene on screen is not the file's.
    GetApp()->SetSettingFloat("view", "field", 2.0f);
    GetApp()->SetSettingString("render", "eye_L", "mine.bmp");
    doc->SetModifiedFlag();
    const Snapshot before = Take(*doc, tree, *library);
    const auto settings = GetApp()->Settings().Values();
    const HTREEITEM selected = tree.GetSelectedItem();

    std::vector<std::uint8_t> badHidden = whole;  // the last hidden entry names no part
    std::memcpy(&badHidden[badHidden.size() - 4], "\x7F\0\0\0", 4);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } files[] = {
        {"cut in the parts", {whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)}},
        {"cut before the hidden entries", {whole.begin(), whole.end() - 6}},
        {"a hidden entry naming no part", badHidden},
    };
    const std::string path = TempPath("broken.mrs");
    for (const auto& file : files) {
        WriteFile(path, file.bytes);
        prompts->asked.clear();
        EXPECT_FALSE(doc->OnOpenDocument(path)) << file.what;
        EXPECT_EQ(prompts->MessageTexts(),
                  (std::vector<std::string>{"シーンデータが壊れているため、読み込みを中止しました。"}))
            << file.what;
        EXPECT_EQ(Take(*doc, tree, *library), before) << file.what;
        EXPECT_EQ(GetApp()->Settings().Values(), settings) << file.what << ": lens, eyes and background stay";
        EXPECT_EQ(doc->GetTitle(), "pose1") << file.what;
        EXPECT_EQ(doc->GetPathName(), saved) << file.what;
        EXPECT_TRUE(doc->IsModified()) << file.what;
        EXPECT_EQ(tree.GetSelectedItem(), selected) << file.what;
    }
}

TEST_F(SceneFileTest, AHighlightStrengthThatCannotBeOneIsHeldToTheUsableRange) {
    rm::Frame* charRoot = doc->GetCharacterRootFrame();
    ASSERT_NE(doc->LoadPart(kBodyPath, nullptr, charRoot), nullptr) << kBodyPath;
    const std::vector<std::uint8_t> whole = CSceneFile::Write(*doc);
    const std::uint8_t colorId[] = {0xC7, 0x41, 0x4F, 0xB0};
    const auto colors = std::search(whole.begin(), whole.end(), std::begin(colorId), std::end(colorId));
    ASSERT_NE(colors, whole.end());
    // id, "肌", "skin", "BODY", three colours: then the power.
    const std::size_t power = static_cast<std::size_t>(colors - whole.begin()) + 4 + 3 + 5 + 5 + 12;
    const struct {
        float stored;
        float taken;
    } cases[] = {
        {std::numeric_limits<float>::quiet_NaN(), 50.0f},
        {1e30f, 1000.0f},
        {std::numeric_limits<float>::infinity(), 1000.0f},
        {-std::numeric_limits<float>::infinity(), 0.0f},
        {-5.0f, 0.0f},
        {73.5f, 73.5f},
    };
    const std::string path = TempPath("power.mrs");
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = whole;
        std::memcpy(&bytes[power], &c.stored, 4);
        WriteFile(path, bytes);
        ASSERT_TRUE(doc->OnOpenDocument(path)) << c.stored;
        ASSERT_FALSE(doc->AllParts().empty());
        ASSERT_FALSE(doc->AllParts().front()->ColorObjects().empty());
        EXPECT_EQ(doc->AllParts().front()->ColorObjects().front()->m_power, c.taken) << c.stored;
    }
}

TEST_F(SceneFileTest, AMissingMeshKeepsThePartWithoutFrameAndReadsItsChildren) {
    rm::Frame* charRoot = doc->GetCharacterRootFrame();
    ASSERT_NE(doc->LoadPart(kBodyPath, nullptr, charRoot), nullptr) << kBodyPath;
    doc->LoadPart(kArmPath, nullptr, charRoot);
    ASSERT_NE(Part(kArmPath), nullptr);
    const std::string path = Save();
    QFile::remove(QString::fromStdString(DataFolder() + "BODY_B/body.x"));
    doc->OnNewDocument();
    prompts->asked.clear();
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(prompts->MessageTexts(),
              (std::vector<std::string>{"データブロック\"BODY_B\\body.x\"が見つかりません。"}));
    ASSERT_EQ(doc->TopLevelParts().size(), 1u);
    CPartObject* body = doc->TopLevelParts()[0].get();
    EXPECT_EQ(body->GetFrame(), nullptr);
    ASSERT_EQ(body->Children().size(), 1u);
    // The arm's parent frame no longer exists: it is loaded but not attached under the scene.
    EXPECT_NE(body->Children()[0]->GetFrame(), nullptr);
    EXPECT_EQ(body->Children()[0]->GetFrame()->Parent(), nullptr);
}

TEST_F(SceneFileTest, SavingIntoAMissingFolderFailsWithAMessage) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    prompts->asked.clear();
    EXPECT_FALSE(doc->OnSaveDocument(TempPath("no/such/folder/x.mrs")));
    EXPECT_EQ(prompts->MessageTexts(), (std::vector<std::string>{"ファイルを保存できません。"}));
    EXPECT_EQ(doc->GetTitle(), "Mariso");
}

}  // namespace

namespace {

// --- The document's own frames ---

using scene::FramePlacement;

// Where ResetScene puts the character root, the scene frame and the option frame (in the scene
// frame, where the figure stands).
const FramePlacement kResetPlacements[scene::kSavedFrameCount] = {
    {{0, 0, 55}, {0, 0, 1}, {0, 1, 0}},
    {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 0, 55}, {0, 0, 1}, {0, 1, 0}},
};
const char* const kFrameNames[scene::kSavedFrameCount] = {"character root", "scene frame", "option frame"};
constexpr std::size_t kFramesBlockSize = scene::kSavedFrameCount * 9 * 4;
constexpr std::size_t kCameraBlockSize = 9 * 4;

std::array<rm::Frame*, scene::kSavedFrameCount> OwnFrames(const CMainDoc& doc) {
    return {doc.GetCharacterRootFrame(), doc.GetSceneFrame(), doc.GetOptionFrame()};
}

void Place(rm::Frame* frame, const FramePlacement& p) {
    frame->SetPosition(nullptr, p.position[0], p.position[1], p.position[2]);
    ASSERT_TRUE(rm::Succeeded(frame->SetOrientation(nullptr, p.direction[0], p.direction[1], p.direction[2],
                                                    p.up[0], p.up[1], p.up[2])));
}

// The frame's placement relative to `reference` (its parent when null).
void ExpectPlacement(const rm::Frame* frame, const FramePlacement& expected, const std::string& what,
                     const rm::Frame* reference = nullptr) {
    rm::Vector position, direction, up;
    frame->GetPosition(reference, &position);
    frame->GetOrientation(reference, &direction, &up);
    const rm::Vector want[3] = {{expected.position[0], expected.position[1], expected.position[2]},
                                {expected.direction[0], expected.direction[1], expected.direction[2]},
                                {expected.up[0], expected.up[1], expected.up[2]}};
    const rm::Vector got[3] = {position, direction, up};
    const char* const parts[3] = {"position", "direction", "up"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(got[k].x, want[k].x, 1e-5f) << what << " " << parts[k] << " x";
        EXPECT_NEAR(got[k].y, want[k].y, 1e-5f) << what << " " << parts[k] << " y";
        EXPECT_NEAR(got[k].z, want[k].z, 1e-5f) << what << " " << parts[k] << " z";
    }
}

// Where the frames block of a file written now starts, found by walking the header fields here
// rather than through the document's reader. The camera block follows it.
std::size_t FramesBlockAt(const std::vector<std::uint8_t>& bytes) {
    LoadingArchive ar(bytes);
    ar.ReadBytes(8);
    EXPECT_EQ(ar.ReadU32(), scene::kSceneVersion);  // version
    ar.ReadU32();                 // part count
    ar.ReadString();              // pose set
    if (ar.ReadU8() != 0)
        for (int i = 0; i < 5; ++i) ar.ReadU32();
    ar.ReadF32();
    for (int i = 0; i < 3; ++i) ar.ReadString();
    ar.ReadI32();
    ar.ReadI32();
    EXPECT_TRUE(ar.Ok());
    EXPECT_GE(ar.Remaining(), kFramesBlockSize + kCameraBlockSize);
    return ar.Position();
}

// Where the placement of one of the document's own frames lies in a file written now: the scene
// frame and the option frame in the frames block, the first figure's root in the figures block
// (the frames block's first slot is read no more).
std::size_t PlacementAt(const std::vector<std::uint8_t>& bytes, int frame) {
    const std::size_t block = FramesBlockAt(bytes);
    if (frame != 0) return block + static_cast<std::size_t>(frame) * 36;
    LoadingArchive ar(std::span<const std::uint8_t>(bytes).subspan(block + kFramesBlockSize + kCameraBlockSize));
    EXPECT_GE(ar.ReadU32(), 1u);  // figures
    EXPECT_EQ(ar.ReadI32(), 1);   // the first is figure 1
    ar.ReadString();              // its pose set
    ar.ReadU8();
    EXPECT_TRUE(ar.Ok());
    return block + kFramesBlockSize + kCameraBlockSize + ar.Position();
}

// A file of an earlier version, kept with the tests: the edited scene with its own frames moved and
// the camera looking around.
std::vector<std::uint8_t> VersionFile(int version) {
    QFile file(QString::fromStdString(std::string(MARISOLE_SCENE_VERSIONS) + "/scene-v" +
                                      std::to_string(version) + ".mrs"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << version;
    const QByteArray data = file.readAll();
    return {data.begin(), data.end()};
}

// The figure dragged as a whole (moved and turned), the scene moved and rolled, the option frame
// moved and turned round.
const FramePlacement kMoved[scene::kSavedFrameCount] = {
    {{3, -4, 60}, {0.6f, 0, 0.8f}, {0, 1, 0}},
    {{1, 2, 3}, {0, 0, 1}, {0.6f, 0.8f, 0}},
    {{-5, 0.5f, 2}, {-1, 0, 0}, {0, 1, 0}},
};

class OwnFramesTest : public SceneFileTest {
  protected:
    void MoveOwnFrames() {
        const auto frames = OwnFrames(*doc);
        for (int i = 0; i < scene::kSavedFrameCount; ++i) Place(frames[i], kMoved[i]);
    }
    // A part's position relative to the document's root frame (where the user sees it).
    rm::Vector Seen(std::string_view folder) const {
        rm::Vector p;
        Part(folder)->GetFrame()->GetPosition(doc->GetRootFrame(), &p);
        return p;
    }
};

TEST_F(OwnFramesTest, MovedFramesAreWhereTheUserLeftThemAfterSaveAndOpen) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    MoveOwnFrames();
    const Snapshot before = Take(*doc, tree, *library);
    const char* const seenParts[] = {kBodyPath, kHandPath, "PROPS\\cup.x"};
    std::vector<rm::Vector> seenBefore;
    for (const char* folder : seenParts) seenBefore.push_back(Seen(folder));
    const std::string path = Save();

    ASSERT_TRUE(doc->OnNewDocument());
    ExpectPlacement(doc->GetCharacterRootFrame(), kResetPlacements[0], "after New");
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_TRUE(prompts->asked.empty());
    const auto frames = OwnFrames(*doc);
    for (int i = 0; i < scene::kSavedFrameCount; ++i) ExpectPlacement(frames[i], kMoved[i], kFrameNames[i]);
    EXPECT_EQ(Take(*doc, tree, *library), before);
    for (std::size_t i = 0; i < std::size(seenParts); ++i) {
        const rm::Vector seen = Seen(seenParts[i]);
        EXPECT_NEAR(seen.x, seenBefore[i].x, 1e-4f) << seenParts[i];
        EXPECT_NEAR(seen.y, seenBefore[i].y, 1e-4f) << seenParts[i];
        EXPECT_NEAR(seen.z, seenBefore[i].z, 1e-4f) << seenParts[i];
    }
}

TEST_F(OwnFramesTest, AVersion1FileOpensWithTheFramesWhereTheResetPutsThem) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    const Snapshot before = Take(*doc, tree, *library);
    const std::vector<std::uint8_t> v1 = VersionFile(1);
    LoadingArchive ar(v1);
    scene::SceneHeader header;
    ASSERT_EQ(CSceneFile::ReadHeader(ar, header), scene::SceneFileStatus::Ok);
    EXPECT_EQ(header.version, 1u);
    EXPECT_FALSE(header.hasFramePlacements);

    const std::string path = TempPath("old.mrs");
    WriteFile(path, v1);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_TRUE(prompts->asked.empty());
    // Every part, label, light and setting as saved; the frames as a reset places them.
    EXPECT_EQ(Take(*doc, tree, *library), before);
    const auto frames = OwnFrames(*doc);
    for (int i = 0; i < scene::kSavedFrameCount; ++i)
        ExpectPlacement(frames[i], kResetPlacements[i], kFrameNames[i]);
}

TEST_F(OwnFramesTest, PlacementsThatCannotBeOnesLeaveTheResetPlacement) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    const FramePlacement& r0 = kResetPlacements[0];
    struct Case {
        const char* what;
        int frame;
        FramePlacement inFile;
        FramePlacement expected;
    };
    const Case cases[] = {
        {"NaN position, sane turn",
         0,
         {{nan, 1, 2}, {0.6f, 0, 0.8f}, {0, 1, 0}},
         {{0, 0, 55}, {0.6f, 0, 0.8f}, {0, 1, 0}}},
        {"infinite position", 1, {{0, -inf, 0}, {0, 0, 1}, {0, 1, 0}}, kResetPlacements[1]},
        {"NaN direction, sane move",
         0,
         {{1, 2, 3}, {nan, 0, 1}, {0, 1, 0}},
         {{1, 2, 3}, {0, 0, 1}, {0, 1, 0}}},
        {"infinite up", 2, {{4, 5, 6}, {0, 0, 1}, {0, inf, 0}}, {{4, 5, 6}, {0, 0, 1}, {0, 1, 0}}},
        {"zero direction", 0, {{0, 0, 55}, {0, 0, 0}, {0, 1, 0}}, r0},
        {"zero up", 1, {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, kResetPlacements[1]},
        {"up parallel to the direction", 2, {{0, 0, 55}, {0, 0, 2}, {0, 0, -3}}, kResetPlacements[2]},
        // Finite, but its projection on the direction overflows (and 0 × infinity is NaN).
        {"up too long to project", 0, {{0, 0, 55}, {1, 1, 0}, {3e38f, 3e38f, 1}}, r0},
        {"everything NaN", 2, {{nan, nan, nan}, {nan, nan, nan}, {nan, nan, nan}}, kResetPlacements[2]},
    };
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    const std::vector<std::uint8_t> whole = CSceneFile::Write(*doc);
    const std::string path = TempPath("odd.mrs");
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = whole;
        std::uint8_t* at = &bytes[PlacementAt(whole, c.frame)];
        for (const auto* v : {&c.inFile.position, &c.inFile.direction, &c.inFile.up})
            for (float f : *v) {
                std::memcpy(at, &f, 4);
                at += 4;
            }
        WriteFile(path, bytes);
        doc->OnNewDocument();
        prompts->asked.clear();
        ASSERT_TRUE(doc->OnOpenDocument(path)) << c.what;
        EXPECT_TRUE(prompts->asked.empty()) << c.what;
        EXPECT_EQ(doc->AllParts().size(), 7u) << c.what;
        const auto frames = OwnFrames(*doc);
        for (int i = 0; i < scene::kSavedFrameCount; ++i)
            ExpectPlacement(frames[i], i == c.frame ? c.expected : kResetPlacements[i],
                            std::string(c.what) + ": " + kFrameNames[i]);
    }
}

TEST_F(OwnFramesTest, AFileCutInOrJustAfterTheFramesBlockIsRefusedAsDamaged) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    MoveOwnFrames();
    const std::vector<std::uint8_t> whole = CSceneFile::Write(*doc);
    const std::size_t block = FramesBlockAt(whole);
    const std::size_t figures = block + kFramesBlockSize + kCameraBlockSize;
    const std::size_t firstRoot = PlacementAt(whole, 0);
    const struct {
        const char* what;
        std::size_t length;
    } cuts[] = {
        {"before the block", block},
        {"inside the first value", block + 1},
        {"after the character root", block + 36},
        {"inside the scene frame's up", block + 36 + 30},
        {"one byte short of the block", block + kFramesBlockSize - 1},
        {"the block whole, the camera missing", block + kFramesBlockSize},
        {"inside the camera's direction", block + kFramesBlockSize + 20},
        {"the camera whole, the figures missing", figures},
        {"inside the figure count", figures + 2},
        {"inside the first figure's root", firstRoot + 10},
        {"the figures whole, the top-level count missing", firstRoot + 36},
        {"inside the top-level count", firstRoot + 36 + 2},
    };
    const std::string path = TempPath("cut.mrs");
    for (const auto& cut : cuts) {
        ASSERT_LT(cut.length, whole.size()) << cut.what;
        WriteFile(path,
                  std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut.length)));
        doc->OnNewDocument();
        prompts->asked.clear();
        EXPECT_FALSE(doc->OnOpenDocument(path)) << cut.what;
        EXPECT_EQ(prompts->MessageTexts(),
                  (std::vector<std::string>{"シーンデータが壊れているため、読み込みを中止しました。"}))
            << cut.what;
        EXPECT_TRUE(SceneIsEmpty()) << cut.what;
        ExpectPlacement(doc->GetCharacterRootFrame(), kResetPlacements[0], cut.what);
    }
}

// The camera looking down at the figure from its right, a little behind.
const FramePlacement kLookingAround{{40, 30, 70}, {-0.6f, -0.48f, -0.64f}, {-0.4f, 0.8f, -0.4f}};

TEST_F(OwnFramesTest, TheCameraIsKeptWithTheSceneAndAnOlderFileLooksFromTheNewScenesPlace) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    MoveOwnFrames();
    std::vector<FramePlacement> heard;
    doc->SetCameraHook([&heard](const FramePlacement& p) { heard.push_back(p); });
    const std::uint64_t changes = doc->ChangeCount();
    doc->NoteCameraPlacement(kLookingAround);
    EXPECT_EQ(doc->ChangeCount(), changes) << "looking around is no change of the scene";
    EXPECT_TRUE(heard.empty()) << "the view told the document, not the other way round";
    const std::vector<std::uint8_t> now = CSceneFile::Write(*doc);

    auto expectCamera = [this](const FramePlacement& want, const std::string& what) {
        const FramePlacement& got = doc->CameraPlacement();
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(got.position[i], want.position[i], 1e-5f) << what;
            // Set axes come back unit and at right angles to each other.
            EXPECT_NEAR(got.direction[i], want.direction[i], 1e-5f) << what;
        }
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        FramePlacement camera;
    } files[] = {
        {"written now", now, kLookingAround},
        {"version 3", VersionFile(3), kLookingAround},
        {"version 2", VersionFile(2), scene::FramePlacement{}},
        {"version 1", VersionFile(1), scene::FramePlacement{}},
    };
    const std::string path = TempPath("camera.mrs");
    for (const auto& file : files) {
        doc->NoteCameraPlacement(kLookingAround);
        WriteFile(path, file.bytes);
        heard.clear();
        ASSERT_TRUE(doc->OnOpenDocument(path)) << file.what;
        expectCamera(file.camera, file.what);
        ASSERT_FALSE(heard.empty()) << file.what << ": the view is told where to look from";
        EXPECT_EQ(heard.back().position[2], file.camera.position[2]) << file.what;
    }
    // New and a pose set put the camera back.
    doc->NoteCameraPlacement(kLookingAround);
    ASSERT_TRUE(doc->OnNewDocument());
    expectCamera(scene::FramePlacement{}, "after New");
    doc->NoteCameraPlacement(kLookingAround);
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    expectCamera(scene::FramePlacement{}, "after a pose set");
}

// Files of every version the program has written, of the edited scene with its own frames moved and
// the camera looking around (tests/scene/versions; a version keeps what it could hold).
TEST_F(OwnFramesTest, AFileOfEveryVersionOpens) {
    ASSERT_NO_FATAL_FAILURE(BuildEditedScene());
    MoveOwnFrames();
    const Snapshot edited = Take(*doc, tree, *library);
    for (std::uint32_t version = scene::kOldestSceneVersion; version <= scene::kSceneVersion; ++version) {
        const std::string what = "version " + std::to_string(version);
        const std::string path = std::string(MARISOLE_SCENE_VERSIONS) + "/scene-v" + std::to_string(version) + ".mrs";
        ASSERT_TRUE(doc->OnNewDocument());
        prompts->asked.clear();
        ASSERT_TRUE(doc->OnOpenDocument(path)) << what;
        EXPECT_TRUE(prompts->asked.empty()) << what;
        EXPECT_EQ(Take(*doc, tree, *library), edited) << what;
        // Up to version 3 the option frame's placement was in the character root; it is where it
        // was in the world, now in the scene frame.
        const auto frames = OwnFrames(*doc);
        for (int i = 0; i < scene::kSavedFrameCount; ++i)
            ExpectPlacement(frames[i], version >= 2 ? kMoved[i] : kResetPlacements[i], what + ": " + kFrameNames[i],
                            i == 2 && version >= 2 && version < 4 ? frames[0] : nullptr);
        const FramePlacement camera = version >= 3 ? kLookingAround : FramePlacement{};
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(doc->CameraPlacement().position[i], camera.position[i], 1e-5f) << what;
    }
}

// A scene file of one chain of `length` parts without meshes, each the only child of the one before.
std::vector<std::uint8_t> ChainFile(int length) {
    StoringArchive ar;
    ar.WriteBytes(std::string_view(scene::kSceneSignature, sizeof scene::kSceneSignature));
    ar.WriteU32(scene::kSceneVersion);
    ar.WriteU32(static_cast<std::uint32_t>(length));
    ar.WriteString("");
    ar.WriteU8(0);
    ar.WriteF32(4.0f);
    for (int i = 0; i < 3; ++i) ar.WriteString("");
    ar.WriteI32(0);
    ar.WriteI32(0);
    for (const scene::FramePlacement& frame : {kResetPlacements[0], kResetPlacements[1], kResetPlacements[2],
                                               scene::FramePlacement{}})
        for (const auto* v : {&frame.position, &frame.direction, &frame.up})
            for (float f : *v) ar.WriteF32(f);
    ar.WriteU32(1);  // one figure: number 1, no pose set, at the reset's place
    ar.WriteI32(1);
    ar.WriteString("");
    ar.WriteU8(0);
    for (const auto* v : {&kResetPlacements[0].position, &kResetPlacements[0].direction, &kResetPlacements[0].up})
        for (float f : *v) ar.WriteF32(f);
    ar.WriteU32(1);
    for (int i = 0; i < length; ++i) {
        ar.WriteU32(CPartObject::kSerialId);
        ar.WriteI32(i);
        ar.WriteI32(i - 1);
        for (int s = 0; s < 4; ++s) ar.WriteString("");
        for (int f = 0; f < 15; ++f) ar.WriteF32(0);
        ar.WriteString("");
        ar.WriteI32(0);
        ar.WriteI32(i + 1 < length ? 1 : 0);
    }
    ar.WriteU32(0);
    ar.WriteU32(0);
    return ar.TakeBytes();
}

TEST_F(SceneFileTest, PartRecordsNestAtMost33Deep) {
    WriteFile(TempPath("33.mrs"), ChainFile(33));
    WriteFile(TempPath("34.mrs"), ChainFile(34));
    EXPECT_TRUE(doc->OnOpenDocument(TempPath("33.mrs")));
    int depth = 0;
    for (const CPartObject* p = doc->TopLevelParts().at(0).get(); !p->Children().empty();
         p = p->Children()[0].get())
        ++depth;
    EXPECT_EQ(depth, scene::kMaxPartDepth);
    prompts->asked.clear();
    const std::size_t parts = doc->AllParts().size();
    EXPECT_FALSE(doc->OnOpenDocument(TempPath("34.mrs")));
    EXPECT_EQ(prompts->MessageTexts().back(), "シーンデータが壊れているため、読み込みを中止しました。");
    EXPECT_EQ(doc->AllParts().size(), parts) << "the open scene stays";
    EXPECT_EQ(doc->GetTitle(), "33");
}

}  // namespace




