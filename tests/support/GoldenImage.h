#pragma once
// Golden pictures: a rendered picture is compared pixel by pixel, exactly (colour only), with a PNG
// in the source tree that a person has looked at. A picture that differs, or that has no golden PNG
// yet, is written as NAME.actual.png to the test's build folder, never into the source tree. With
// MARISOLE_UPDATE_GOLDEN=1 in the environment the golden PNG is (re)written instead; such a change is
// committed with the reason.

#include <QImage>
#include <string>

namespace golden {

// Empty when `picture` matches `goldenDir`/`name`.png; otherwise what differs and where the picture
// was written (in `outDir`).
std::string CompareWithGolden(const QImage& picture, const std::string& goldenDir, const std::string& outDir,
                              const std::string& name);

}  // namespace golden
