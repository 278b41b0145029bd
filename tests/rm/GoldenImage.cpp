#include "GoldenImage.h"

#include <QImage>
#include <cstdlib>

#include "platform/surface/SurfaceImage.h"

namespace rmtest {

std::string CompareWithGolden(const surface::Surface& s, const std::string& name) {
    const std::string path = std::string(MARISOLE_RM_GOLDEN_DIR) + "/" + name + ".png";
    const QImage rendered = surface::ToImage(s);
    if (const char* update = std::getenv("MARISOLE_UPDATE_GOLDEN"); update && *update == '1') {
        return rendered.save(QString::fromStdString(path), "PNG") ? std::string() : "cannot write " + path;
    }
    QImage golden;
    if (!golden.load(QString::fromStdString(path), "PNG")) return "missing golden image " + path;
    golden = golden.convertToFormat(QImage::Format_RGB32);
    if (golden.size() != rendered.size()) return "size differs from " + path;
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
    rendered.save(QString::fromStdString(std::string(MARISOLE_RM_GOLDEN_OUT) + "/" + name + ".actual.png"),
                  "PNG");
    return std::to_string(differing) + " pixels differ from " + path + ", first at (" +
           std::to_string(firstX) + ", " + std::to_string(firstY) + ")";
}

}  // namespace rmtest
