#include "SceneFuzzWorld.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "archive/ArchiveBuilder.h"
#include "base/Progress.h"
#include "core/MainApp.h"

namespace scenefuzz {

namespace {

void WriteData(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.path() + "/data/" + name;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace

World::World() {
    const QByteArray quad = "Mesh {\n4;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n2;\n3;0,1,2;,\n3;0,2,3;;\n}\n";
    WriteData(dir, "BODY_B/body.x",
              "xof 0302txt 0064\nFrame BODY {\n" + quad + "Frame ARML {\n}\nFrame HEAD {\n" + quad + "}\n}\n");
    WriteData(dir, "BODY_B/body.txt", "BODY|skin|;HEAD|hair|");
    WriteData(dir, "BODY/ARML/arm.x", "xof 0302txt 0064\nFrame ARM {\n" + quad + "Frame HANDL {\n}\n}\n");
    WriteData(dir, "POSE/P.OBJ", "BODY_B\\body.x|BODY\\ARML\\arm.x");
    WriteData(dir, "POSE/P.tre", "BODY_B\\|body|\r\nBODY\\ARML\\|arm|\r\n");
    WriteData(dir, "option.txt", "PROPS\\|props|ADD\r\n");
    // Packed into a volume, as the program's content is: reads then go through the index in memory,
    // not through a case-blind search of the folder for every file (several times faster).
    const std::string app = (dir.path() + "/").toStdString();
    NullProgress progress;
    CArchiveBuilder(progress).Build(app + "data/", kCompressionFilter, app + "disk1.vd", app + "disk1.VDH");
    ArchiveContext context;
    context.appFolder = app;
    archive.Open(app + "disk1.vd|", app + "data/|", kCompressionFilter, context);
    GetApp()->m_lpD3DRM = library.Get();
    GetApp()->m_pTreeModel = &tree;
    GetApp()->SetAppFolder((dir.path() + "/").toStdString());
    doc = std::make_unique<CMainDoc>();
    doc->SetArchive(&archive);
    doc->OnNewDocument();
    settings = GetApp()->Settings();
}

void World::RestoreSettings() {
    GetApp()->Settings() = settings;
}

}  // namespace scenefuzz
