// marisole_datagen --data DIR --out BINDIR --work WORKDIR [--preview DIR]
//
// Builds the sample library from the tables in DIR (poses.txt, labels.txt): writes the volume
// trees under WORKDIR/disk1 and WORKDIR/disk2 (the fallback folders named in drive.dat), packs
// them into BINDIR/disk1.vd and BINDIR/disk2.vd with their indexes, and writes drive.dat and the
// TEXTURE, BACKGROUND and IMAGE pictures into BINDIR. With --preview, also renders each pose set
// at 500 x 500 into DIR as PNG.

#include <QFile>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ContentBuilder.h"
#include "FigureSet.h"
#include "LabelTable.h"
#include "Pictures.h"
#include "PoseTable.h"
#include "archive/ArchiveBuilder.h"

using namespace datagen;
namespace fs = std::filesystem;

namespace {

bool ReadText(const fs::path& path, std::string& out) {
    QFile f(QString::fromStdString(path.string()));
    if (!f.open(QIODevice::ReadOnly)) return false;
    out = f.readAll().toStdString();
    return true;
}

// Written under a temporary name and renamed into place, so a reader never sees half a file.
bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    fs::path temporary = path;
    temporary += ".part";
    {
        std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
        if (!f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;
        f.close();
        if (!f) return false;
    }
    fs::rename(temporary, path, ec);
    return !ec;
}

fs::path NativePath(const fs::path& root, const std::string& archiveName) {
    std::string relative = archiveName;
    for (char& c : relative)
        if (c == '\\') c = '/';
    return root / relative;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "marisole_datagen: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are drawn into QImage only (no fonts, no windows), so no application object is made.
    const auto started = std::chrono::steady_clock::now();

    fs::path data, out, work, preview;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--data")
            data = argv[i + 1];
        else if (key == "--out")
            out = argv[i + 1];
        else if (key == "--work")
            work = argv[i + 1];
        else if (key == "--preview")
            preview = argv[i + 1];
        else
            return Fail("unknown option " + key);
    }
    if (data.empty() || out.empty() || work.empty())
        return Fail("usage: --data DIR --out BINDIR --work WORKDIR [--preview DIR]");

    std::string poseText, labelText, error;
    if (!ReadText(data / "poses.txt", poseText) || !ReadText(data / "labels.txt", labelText))
        return Fail("cannot read the tables in " + data.string());
    const auto poses = ParsePoseTable(poseText, &error);
    if (!poses) return Fail("poses.txt " + error);
    const auto labels = ParseLabelTable(labelText, &error);
    if (!labels) return Fail("labels.txt " + error);
    const auto content = BuildContent(*poses, *labels, &error);
    if (!content) return Fail(error);

    // The trees are written afresh so that nothing of an earlier run can enter the volumes.
    const fs::path trees[2] = {fs::absolute(work / "disk1"), fs::absolute(work / "disk2")};
    std::error_code ec;
    for (int v = 0; v < 2; ++v) {
        fs::remove_all(trees[v], ec);
        fs::create_directories(trees[v], ec);
        for (const auto& [name, bytes] : content->volumes[v])
            if (!WriteFile(NativePath(trees[v], name), bytes)) return Fail("cannot write " + name);
    }
    for (const auto& [name, bytes] : content->pictures)
        if (!WriteFile(out / name, bytes)) return Fail("cannot write " + name);

    const std::string bin = fs::absolute(out).string() + "/";
    for (int v = 0; v < 2; ++v) {
        const std::string stem = "disk" + std::to_string(v + 1);
        NullProgress progress;
        CArchiveBuilder builder(progress);
        const BuildResult r = builder.Build(trees[v].string() + "/", ".X;.TXT;", VolumeFileFor(bin, stem),
                                            IndexFileFor(bin, stem));
        if (r != BuildResult::Built) return Fail("cannot pack " + stem);
    }
    if (!WriteFile(out / "drive.dat", trees[0].string() + "/|" + trees[1].string() + "/|\r\n"))
        return Fail("cannot write drive.dat");

    if (!preview.empty()) {
        const std::string eye = EncodeBmp24(EyeTexture(qRgb(120, 72, 40)));
        for (const auto& pose : *poses) {
            const QImage picture = RenderParts(FigureParts(BuildPoseFolders(pose)), eye, 1000, PoseView());
            if (picture.isNull()) return Fail("cannot render the preview of " + pose.name);
            picture.scaled(500, 500, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .save(QString::fromStdString((preview / (pose.name + ".png")).string()));
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("marisole_datagen: %zu + %zu archive files, %zu pictures in %.2f s\n",
                content->volumes[0].size(), content->volumes[1].size(), content->pictures.size(), seconds);
    return 0;
}
