#include "support/GoldenImage.h"

#include <cstdlib>

namespace golden {

namespace {

// Writes the picture beside the test's build output and says where.
std::string KeepActual(const QImage& picture, const std::string& outDir, const std::string& name) {
    const std::string path = outDir + "/" + name + ".actual.png";
    return picture.save(QString::fromStdString(path), "PNG") ? "; the picture is at " + path
                                                             : "; cannot write " + path;
}

}  // namespace

std::string CompareWithGolden(const QImage& picture, const std::string& goldenDir, const std::string& outDir,
                              const std::string& name) {
    const std::string path = goldenDir + "/" + name + ".png";
    const QImage rendered = picture.convertToFormat(QImage::Format_RGB32);
    if (const char* update = std::getenv("MARISOLE_UPDATE_GOLDEN"); update && *update == '1') {
        return rendered.save(QString::fromStdString(path), "PNG") ? std::string() : "cannot write " + path;
    }
    QImage golden;
    if (!golden.load(QString::fromStdString(path), "PNG"))
        return "missing golden image " + path + KeepActual(rendered, outDir, name);
    golden = golden.convertToFormat(QImage::Format_RGB32);
    if (golden.size() != rendered.size())
        return "size differs from " + path + KeepActual(rendered, outDir, name);
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < golden.height(); ++y)
        for (int x = 0; x < golden.width(); ++x)
            if ((golden.pixel(x, y) & 0xFFFFFF) != (rendered.pixel(x, y) & 0xFFFFFF)) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
    if (differing == 0) return {};
    return std::to_string(differing) + " pixels differ from " + path + ", first at (" +
           std::to_string(firstX) + ", " + std::to_string(firstY) + ")" + KeepActual(rendered, outDir, name);
}

}  // namespace golden
