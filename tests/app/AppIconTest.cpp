#include "app/AppIcon.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

// The icon at every installed size: the requested size, clear corners outside the rounded square,
// the evening sky (blue above, pink below) inside it, and the mannequin's skin at its body.
TEST(AppIcon, EverySizeShowsSkyAndFigure) {
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage icon = artwork::ApplicationIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        const auto at = [&](double x, double y) {
            return QColor(icon.pixel(static_cast<int>(x * size / 64), static_cast<int>(y * size / 64)));
        };
        const QColor top = at(10, 10), bottom = at(8, 48), body = at(32, 28);
        EXPECT_EQ(top.alpha(), 255);
        EXPECT_GT(top.blue(), top.red()) << "the sky is blue at the top";
        EXPECT_GT(bottom.red(), top.red() + 40) << "and pink at the bottom";
        EXPECT_GT(body.red(), body.blue() + 30) << "the body is skin-coloured";
    }
}

}  // namespace
