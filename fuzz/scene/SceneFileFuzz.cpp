// libFuzzer harness of the scene file reader: any bytes are opened as a scene file of a document
// whose archive holds a tiny figure (a body with an ARML link frame and an arm), so that records
// that name those meshes really load, link and take colours. Nothing may read or write out of
// bounds, leak, or leave the document inconsistent; the document is reset after every input.
//
// With MARISOLE_SCENE_SEED=<file> the harness writes the scene file of the loaded figure there
// first (a seed for the corpus).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/MainApp.h"
#include "archive/Communicator.h"
#include "base/ArchiveStream.h"
#include "platform/rm/Library.h"
#include "scene/MainDoc.h"
#include "scene/SceneFile.h"

namespace {

struct World {
    QTemporaryDir dir;
    CCommunicator archive;
    rm::Ref<rm::Library> library = rm::Library::Create();
    CPartsTree tree;
    std::unique_ptr<CMainDoc> doc;

    void Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + "/data/" + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }

    World() {
        const QByteArray quad =
            "Mesh {\n4;\n0;0;0;,\n1;0;0;,\n1;1;0;,\n0;1;0;;\n2;\n3;0,1,2;,\n3;0,2,3;;\n}\n";
        Write("BODY_B/body.x", "xof 0302txt 0064\nFrame BODY {\n" + quad + "Frame ARML {\n}\nFrame HEAD {\n" +
                                   quad + "}\n}\n");
        Write("BODY_B/body.txt", "BODY|skin|;HEAD|hair|");
        Write("BODY/ARML/arm.x", "xof 0302txt 0064\nFrame ARM {\n" + quad + "Frame HANDL {\n}\n}\n");
        Write("POSE/P.OBJ", "BODY_B\\body.x|BODY\\ARML\\arm.x");
        Write("POSE/P.tre", "BODY_B\\|body|\r\nBODY\\ARML\\|arm|\r\n");
        Write("option.txt", "PROPS\\|props|ADD\r\n");
        ArchiveContext context;
        archive.Open((dir.path() + "/none/disk1.vd|").toStdString(), (dir.path() + "/data/|").toStdString(),
                     ".X;.TXT;", context);
        GetApp()->m_lpD3DRM = library.Get();
        GetApp()->m_pTreeModel = &tree;
        GetApp()->SetAppFolder((dir.path() + "/").toStdString());
        doc = std::make_unique<CMainDoc>();
        doc->SetArchive(&archive);
        doc->OnNewDocument();
        if (const char* seed = std::getenv("MARISOLE_SCENE_SEED")) {
            doc->LoadPoseSet("POSE\\P.OBJ");
            const std::vector<std::uint8_t> bytes = CSceneFile::Write(*doc);
            QFile out(QString::fromLocal8Bit(seed));
            if (out.open(QIODevice::WriteOnly))
                out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    CMainDoc& doc = *world.doc;
    LoadingArchive ar(std::span(data, size));
    scene::SceneHeader header;
    if (CSceneFile::ReadHeader(ar, header) == scene::SceneFileStatus::Ok) {
        doc.ResetScene();
        if (!CSceneFile::ReadBody(doc, ar, header)) doc.ResetScene();
        // Whatever was read must be a scene that can be written again.
        (void)CSceneFile::Write(doc);
    }
    doc.OnNewDocument();
    return 0;
}
