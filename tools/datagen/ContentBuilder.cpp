#include "ContentBuilder.h"

#include "FigureSet.h"
#include "LightMarkers.h"
#include "PoseFiles.h"
#include "Pictures.h"
#include "Props.h"
#include "RmThumbnail.h"
#include "XFileWriter.h"
#include "base/Cp932.h"

namespace datagen {

namespace {

constexpr int kThumbnailSize = 64;
constexpr int kThumbnailOversample = 4;

std::string Stem(const std::string& file) {
    return file.substr(0, file.find('.'));
}

class Builder {
  public:
    Builder(const LabelTable& labels, ContentTree& out) : m_labels(labels), m_out(out) {
        const QRgb irises[] = {qRgb(120, 72, 40), qRgb(60, 110, 190), qRgb(60, 140, 80), qRgb(110, 110, 120)};
        for (QRgb iris : irises) m_eyes.push_back(EyeTexture(iris));
        m_eyeBmp = EncodeBmp24(m_eyes[0]);
    }

    bool Run(const std::vector<Pose>& poses, std::string* error) {
        std::string rootList, lights, options;
        for (const auto& pose : poses) {
            if (!PoseSet(pose, error)) return false;
            rootList += pose.name + ".OBJ|" + pose.name + ".jpg|" + pose.label + "\r\n";
        }
        Text(0, "plist.txt", rootList);
        for (const auto& [folder, label] : m_labels.lights) lights += folder + "\\|" + label + "\r\n";
        Text(0, "light.txt", lights);
        Text(0, "option.txt", "PROP\\|小物|ADD\r\n");
        for (const auto& marker : BuildLightMarkers()) Part(0, marker.folder + marker.file, marker.part);
        if (!PropFolder(error)) return false;
        Pictures();
        return true;
    }

  private:
    void Text(int volume, const std::string& name, const std::string& utf8) {
        m_out.volumes[volume][name] = cp932::FromUtf8(utf8);
    }

    // The mesh file and its colour definition.
    void Part(int volume, const std::string& path, const PartFile& part) {
        m_out.volumes[volume][path] = WriteXFile(part);
        std::string colours;
        AddColourLines(part.top, colours);
        if (!colours.empty()) Text(volume, ColourDefinitionName(path), colours);
    }

    void AddColourLines(const FrameNode& node, std::string& out) const {
        if (node.hasMesh)
            if (auto it = m_labels.colours.find(node.name); it != m_labels.colours.end())
                out += node.name + "|" + it->second.generalName + "|" + it->second.remark + "\r\n";
        for (const auto& c : node.children) AddColourLines(c, out);
    }

    // Rendered at four times the size and averaged down, so edges are smooth at 64 x 64.
    bool Thumbnail(int volume, const std::string& name, const std::vector<RmPart>& parts, const RmView& view,
                   std::string* error) {
        const int big = kThumbnailSize * kThumbnailOversample;
        const QImage picture = RenderParts(parts, m_eyeBmp, big, view);
        if (picture.isNull()) {
            if (error) *error = "cannot render the thumbnail " + name;
            return false;
        }
        const QImage small =
            picture.scaled(kThumbnailSize, kThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_out.volumes[volume][name] = EncodeJpeg(small, 92);
        return true;
    }

    bool PoseSet(const Pose& pose, std::string* error) {
        const std::vector<PartFolder> folders = BuildPoseFolders(pose);
        std::string objList, tree;
        for (const auto& f : folders) {
            const std::string key = f.kind == "BODY" || f.kind == "HEAD" ? f.kind : f.joint;
            const auto label = m_labels.folders.find(key);
            if (label == m_labels.folders.end()) {
                if (error) *error = "no label for folder " + key;
                return false;
            }
            tree += f.folder + "|" + label->second + "\r\n";
            objList += f.folder + f.variants.front().file + "\r\n";
            std::string list;
            for (const auto& v : f.variants) {
                const auto name = m_labels.variants.find({f.kind, v.variant});
                if (name == m_labels.variants.end()) {
                    if (error) *error = "no name for " + f.kind + " variant " + std::to_string(v.variant);
                    return false;
                }
                Part(0, f.folder + v.file, v.part);
                list += v.file + "|" + Stem(v.file) + ".jpg|" + name->second + "\r\n";
                if (!Thumbnail(0, f.folder + Stem(v.file) + ".jpg",
                               {{m_out.volumes[0][f.folder + v.file], ""}}, RmView{}, error))
                    return false;
            }
            Text(0, f.folder + "plist.txt", list);
        }
        m_out.volumes[0][pose.name + ".OBJ"] = objList;
        m_out.pictures["POSE/" + pose.name + ".mrp"] = PoseFileOf(folders);
        Text(0, pose.name + ".tre", tree);
        return Thumbnail(0, pose.name + ".jpg", FigureParts(folders), PoseView(), error);
    }

    bool PropFolder(std::string* error) {
        const std::vector<Prop> props = BuildProps();
        std::string list;
        for (const auto& [file, name] : m_labels.props) {
            // An init-capture: clang before 16 refuses to capture a structured binding itself.
            const auto it = std::find_if(props.begin(), props.end(),
                                         [&wanted = file](const Prop& p) { return p.file == wanted; });
            if (it == props.end()) {
                if (error) *error = "no prop " + file;
                return false;
            }
            Part(1, "PROP\\" + file, it->part);
            list += file + "|" + Stem(file) + ".jpg|" + name + "\r\n";
            if (!Thumbnail(1, "PROP\\" + Stem(file) + ".jpg", {{m_out.volumes[1]["PROP\\" + file], ""}},
                           RmView{}, error))
                return false;
        }
        Text(1, "PROP\\plist.txt", list);
        return true;
    }

    void Pictures() {
        const char* eyes[] = {"TEXTURE/eye_01a.bmp", "TEXTURE/eye_02a.bmp", "TEXTURE/eye_03a.bmp",
                              "IMAGE/eye_04a.bmp"};
        for (int i = 0; i < 4; ++i) m_out.pictures[eyes[i]] = EncodeBmp24(m_eyes[i]);
        const char* backgrounds[] = {"BACKGROUND/bg_01.jpg", "BACKGROUND/bg_02.jpg", "BACKGROUND/bg_03.jpg",
                                     "IMAGE/bg_04.jpg"};
        for (int i = 0; i < 4; ++i) m_out.pictures[backgrounds[i]] = EncodeJpeg(Background(i), 90);
    }

    const LabelTable& m_labels;
    ContentTree& m_out;
    std::vector<QImage> m_eyes;
    std::string m_eyeBmp;
};

}  // namespace

std::vector<RmPart> FigureParts(const std::vector<PartFolder>& folders) {
    std::vector<RmPart> parts;
    for (const auto& f : folders) parts.push_back({WriteXFile(f.variants.front().part), f.joint});
    return parts;
}

RmView PoseView() {
    RmView view;
    view.direction = {0.35, -0.18, 1.0};
    view.fill = 0.9;
    return view;
}

std::string ColourDefinitionName(const std::string& meshPath) {
    return meshPath.empty() ? std::string() : meshPath.substr(0, meshPath.size() - 1) + "txt";
}

std::optional<ContentTree> BuildContent(const std::vector<Pose>& poses, const LabelTable& labels,
                                        std::string* error) {
    ContentTree tree;
    Builder builder(labels, tree);
    if (!builder.Run(poses, error)) return std::nullopt;
    return tree;
}

}  // namespace datagen
