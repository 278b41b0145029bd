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

TEST(ImageViewer, AFileThatIsNoPictureIsSaidSo) {
    QTemporaryDir dir;
    CImageViewer viewer;
    EXPECT_FALSE(viewer.Open(dir.path() + "/missing.bmp"));
    EXPECT_TRUE(viewer.Image().isNull());
}

}  // namespace
