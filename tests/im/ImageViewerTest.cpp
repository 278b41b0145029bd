#include "ImageViewer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

namespace {

QString WritePicture(const QTemporaryDir& dir, int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(QColor(200, 40, 40));
    const QString path = dir.path() + "/picture.bmp";
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

TEST(ImageViewer, FitsThePictureIntoTheWindowWithoutEnlargingIt) {
    QTemporaryDir dir;
    CImageViewer viewer;
    viewer.resize(400, 300);
    viewer.show();
    ASSERT_TRUE(viewer.Open(WritePicture(dir, 800, 300)));
    EXPECT_DOUBLE_EQ(viewer.Scale(), 0.5);
    EXPECT_TRUE(viewer.windowTitle().contains("picture.bmp"));
    viewer.resize(2000, 2000);
    EXPECT_DOUBLE_EQ(viewer.Scale(), 1.0);
}

TEST(ImageViewer, WheelZoomsAndEscapeCloses) {
    QTemporaryDir dir;
    CImageViewer viewer;
    viewer.resize(400, 300);
    ASSERT_TRUE(viewer.Open(WritePicture(dir, 200, 100)));
    viewer.show();
    const double before = viewer.Scale();
    QWheelEvent wheel(QPointF(100, 100), viewer.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&viewer, &wheel);
    EXPECT_DOUBLE_EQ(viewer.Scale(), before * 1.25);
    EXPECT_FALSE(viewer.IsFitted());
    QTest::keyClick(&viewer, Qt::Key_0);
    EXPECT_TRUE(viewer.IsFitted());
    QTest::keyClick(&viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
}

// A render is written as BMP or PNG; the viewer opens both, whatever the case of the extension,
// with the same pixels.
TEST(ImageViewer, OpensTheRenderedFormats) {
    QTemporaryDir dir;
    QImage picture(40, 30, QImage::Format_RGB888);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) picture.setPixel(x, y, qRgb(x * 6, y * 8, 255 - x * 3));
    const struct {
        const char* name;
        const char* format;
    } files[] = {{"render.bmp", "BMP"}, {"render.png", "PNG"}, {"RENDER.PNG", "PNG"}, {"render", "PNG"}};
    for (const auto& f : files) {
        const QString path = dir.path() + "/" + f.name;
        ASSERT_TRUE(picture.save(path, f.format)) << f.name;
        CImageViewer viewer;
        ASSERT_TRUE(viewer.Open(path)) << f.name;
        EXPECT_EQ(viewer.Image().convertToFormat(QImage::Format_RGB888), picture) << f.name;
        EXPECT_TRUE(viewer.windowTitle().contains(QString::fromUtf8(f.name))) << f.name;
    }
}

TEST(ImageViewer, AFileThatIsNoPictureIsSaidSo) {
    QTemporaryDir dir;
    CImageViewer viewer;
    EXPECT_FALSE(viewer.Open(dir.path() + "/missing.bmp"));
    EXPECT_TRUE(viewer.Image().isNull());
}

}  // namespace
