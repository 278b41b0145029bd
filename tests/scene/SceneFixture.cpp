#include "SceneFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "core/MainApp.h"
#include "base/Cp932.h"

namespace {

constexpr std::string_view kQuadMesh =
    "Mesh {\n4;\n%0;0;0;,\n%1;0;0;,\n%1;1;0;,\n%0;1;0;;\n2;\n3;0,1,2;,\n3;0,2,3;;\n"
    "MeshNormals {\n1;\n0;0;-1;;\n2;\n3;0,0,0;,\n3;0,0,0;;\n}\n}\n";

std::string Quad(float offset) {
    std::string text(kQuadMesh);
    auto put = [&text](std::string_view key, float v) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key))
            text.replace(at, key.size(), std::to_string(v));
    };
    put("%0", offset);
    put("%1", offset + 1);
    return text;
}

}  // namespace

std::string XFrame(std::string_view name, bool withMesh, float offset, std::string_view children) {
    return "Frame " + std::string(name) + " {\n" + (withMesh ? Quad(offset) : std::string()) +
           std::string(children) + "}\n";
}

std::string XFile(std::string_view frames) {
    return "xof 0302txt 0064\n" + std::string(frames);
}

std::string Sjis(std::string_view utf8) {
    return cp932::FromUtf8(utf8);
}

void SceneTest::WriteData(const std::string& relative, const std::string& bytes) {
    const QString path = QString::fromStdString(DataFolder() + relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void SceneTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    QDir().mkpath(QString::fromStdString(AppFolder()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/registry");

    // Body: the ARML link frame, a HEAD frame and the marker frame HHH; two more variants, one
    // without ARML.
    WriteData("BODY_B/body.x",
              XFile(XFrame("BODY", true, 0,
                           XFrame("ARML", false) + XFrame("HEAD", true, 2) + XFrame("HHH", true, 5))));
    WriteData("BODY_B/body.txt", Sjis("BODY|肌|skin;HEAD|髪|;NOSUCH|謎|\r\nARML|肌|"));
    WriteData("BODY_B/body2.x",
              XFile(XFrame("BODY2", true, 0, XFrame("ARML", false) + XFrame("HEAD", true, 3))));
    WriteData("BODY_B/default.txt", Sjis("BODY2|肌|;HEAD|髪|"));
    WriteData("BODY_B/body3.x", XFile(XFrame("BODY3", true, 0, XFrame("HEAD", true, 3))));
    WriteData("BODY/ARML/arm.x", XFile(XFrame("ARM", true, 1, XFrame("HANDL", false))));
    WriteData("BODY/ARML/default.txt", Sjis("ARM|肌|"));
    WriteData("BODY/ARML/HANDL/hand.x", XFile(XFrame("HAND", true, 4)));
    WriteData("BODY/ARML/HANDL/hand.txt", Sjis("HAND|肌|"));
    for (const char* light : {"LIGHT1", "LIGHT2", "LIGHT3"})
        WriteData(std::string(light) + "/POINT.X", XFile(XFrame("POINT", true, 7)));
    WriteData("LIGHT4/arrow.x", XFile(XFrame("ARROW", true, 8)));
    WriteData("PROPS/cup.x", XFile(XFrame("CUP", true, 9)));
    WriteData("PROPS/cup.txt", Sjis("CUP|陶器|"));

    WriteData("POSE/P1.OBJ", "BODY_B\\body.x|BODY\\ARML\\arm.x;BODY\\ARML\\HANDL\\hand.x\r\n");
    WriteData("POSE/P1.tre", Sjis("BODY_B\\|体|\r\nBODY\\ARML\\|左腕|\r\nBODY\\ARML\\HANDL\\|左手|\r\n"));
    WriteData("light.txt",
              Sjis("LIGHT4\\|太陽光|\r\nLIGHT1\\|点光源１|\r\nLIGHT2\\|点光源２|\r\nLIGHT3\\|点光源３|\r\n"));
    WriteData("option.txt", Sjis("PROPS\\|小物|ADD\r\n"));

    // No volume exists, so every file comes from the fallback folder (the volume's question is
    // answered by the silent default prompts before the scripted ones record anything).
    ArchiveContext context;
    context.appFolder = AppFolder();
    archive.Open(TempPath("nowhere/disk1.vd|"), DataFolder() + "|", ".X;.TXT;", context);
    prompts->asked.clear();

    library = rm::Library::Create();
    CMainApp* app = GetApp();
    app->Settings().Clear();
    app->SetAppFolder(AppFolder());
    app->m_lpD3DRM = library.Get();
    app->m_pTreeModel = &tree;
    doc = std::make_unique<CMainDoc>();
    doc->SetArchive(&archive);
    doc->OnNewDocument();
}

void SceneTest::TearDown() {
    doc.reset();
    CMainApp* app = GetApp();
    app->m_pTreeModel = nullptr;
    app->m_lpD3DRM = nullptr;
    library = nullptr;
}

void SceneTest::LoadFigure() {
    tree.SelectItem(doc->GetCharacterItem());
    doc->LoadPoseSet(kPoseSet);
    for (const char* path : {kBodyPath, kArmPath, kHandPath})
        ASSERT_NE(Part(path), nullptr) << path << " did not load"
                                       << (prompts->asked.empty() ? "" : ": " + prompts->asked.front().text);
}

HTREEITEM SceneTest::ItemLabelled(std::string_view utf8Label) const {
    const std::string label = Sjis(utf8Label);
    for (HTREEITEM item : tree.Inserted())
        if (tree.GetItemText(item) == label) return item;
    return 0;
}
