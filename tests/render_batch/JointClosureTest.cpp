// The sample figure's joints stay closed when a part is turned: each joint of the standing figure is
// turned through its range and rendered from the front with the joint in the middle of a small
// picture, with and without joint smoothing; black background seen through the figure (pixels
// around the joint that no path of black pixels joins to the edge of the searched square) is a
// crack or a dark seam.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "app/HeadlessScene.h"
#include "core/MainApp.h"
#include "render/pipeline/RenderPipeline.h"
#include "scene/MainDoc.h"
#include "support/CaseNames.h"

namespace {

constexpr int kSize = 128;     // the render, square
constexpr int kWindow = 6;     // half size of the square around the joint that is searched: about the limb's radius
constexpr int kDark = 4;       // the black background, seen through the figure; no lit surface is this dark
constexpr float kDepth = 16;   // distance of the joint from the camera: the whole limb beyond the front plane

struct JointRange {
    const char* link;  // link frame of the turned part
    bool bends;        // elbow or knee: 0..90 degrees about x in `sign`'s direction; else +-45 about x, y, z
    float sign;
    // A hand is looked at with its arm swung out by this many degrees about z (the shoulder's link),
    // so that the gap between a turned hand and the thigh is not taken for a crack.
    const char* spreadLink = nullptr;
    float spread = 0;
};

constexpr JointRange kJoints[] = {
    {"FRM-HEAD", false, 1},  {"FRM-ARML", false, 1},  {"FRM-ARMR", false, 1},  {"FRM-FARML", true, 1},
    {"FRM-FARMR", true, 1},  {"FRM-HANDL", false, 1, "FRM-ARML", 30}, {"FRM-HANDR", false, 1, "FRM-ARMR", -30}, {"FRM-LEGL", false, 1},
    {"FRM-LEGR", false, 1},  {"FRM-SHINL", true, -1}, {"FRM-SHINR", true, -1}, {"FRM-FOOTL", false, 1},
    {"FRM-FOOTR", false, 1},
};

struct Turn {
    float x, y, z, degrees;
};

std::vector<Turn> TurnsOf(const JointRange& j) {
    std::vector<Turn> turns;
    if (j.bends) {
        for (float d = 15; d <= 90; d += 15) turns.push_back({1, 0, 0, j.sign * d});
        return turns;
    }
    for (float d : {-45.f, -25.f, 25.f, 45.f}) {
        turns.push_back({1, 0, 0, d});
        turns.push_back({0, 1, 0, d});
        turns.push_back({0, 0, 1, d});
    }
    return turns;
}

rm::Frame* FindByName(rm::Frame* start, const std::string& name) {
    // The scene numbers its frames: "FRM-HEAD@0004".
    if (start->GetName().substr(0, start->GetName().find('@')) == name) return start;
    for (const auto& child : start->Children())
        if (rm::Frame* found = FindByName(child.Get(), name)) return found;
    return nullptr;
}

bool IsDark(QRgb p) {
    return qRed(p) < kDark && qGreen(p) < kDark && qBlue(p) < kDark;
}

// Dark pixels in the square around the picture's centre that cannot be reached from the square's
// border through dark pixels: holes in the figure's outline or seams across it.
int EnclosedDarkPixels(const QImage& image) {
    const int c = kSize / 2, lo = c - kWindow, hi = c + kWindow;
    const int n = hi - lo + 1;
    std::vector<char> seen(n * n, 0);
    std::vector<std::pair<int, int>> stack;
    auto push = [&](int x, int y) {
        if (x < lo || x > hi || y < lo || y > hi) return;
        char& s = seen[(y - lo) * n + (x - lo)];
        if (s || !IsDark(image.pixel(x, y))) return;
        s = 1;
        stack.push_back({x, y});
    };
    for (int k = lo; k <= hi; ++k) {
        push(k, lo), push(k, hi), push(lo, k), push(hi, k);
    }
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        push(x + 1, y), push(x - 1, y), push(x, y + 1), push(x, y - 1);
    }
    int enclosed = 0;
    for (int y = lo; y <= hi; ++y)
        for (int x = lo; x <= hi; ++x) enclosed += IsDark(image.pixel(x, y)) && !seen[(y - lo) * n + (x - lo)];
    return enclosed;
}

class JointClosure : public ::testing::TestWithParam<bool> {};

TEST_P(JointClosure, NoHoleOrDarkSeamAtATurnedJointSeenFromTheFront) {
    const bool smoothing = GetParam();
    CHeadlessScene scene(QCoreApplication::applicationDirPath().toStdString() + "/", std::cerr);
    GetApp()->SetSettingInt("render", "width", kSize);
    GetApp()->SetSettingInt("render", "height", kSize);
    ASSERT_TRUE(scene.LoadPoseSet("STAND.OBJ"));
    rm::Frame* camera = scene.MakeRenderRequest(nullptr).camera;
    std::ostringstream faults;
    for (const JointRange& j : kJoints) {
        rm::Frame* link = FindByName(scene.Document().GetRootFrame(), j.link);
        ASSERT_TRUE(link) << j.link;
        rm::Matrix4 standing, spreadStanding;
        link->GetTransform(&standing);
        rm::Frame* spreadLink = j.spreadLink ? FindByName(scene.Document().GetRootFrame(), j.spreadLink) : nullptr;
        if (spreadLink) {
            spreadLink->GetTransform(&spreadStanding);
            spreadLink->AddRotation(rm::D3DRMCOMBINE_BEFORE, 0, 0, 1, j.spread * std::numbers::pi_v<float> / 180);
        }
        for (const Turn& t : TurnsOf(j)) {
            link->AddTransform(rm::D3DRMCOMBINE_REPLACE, standing);
            link->AddRotation(rm::D3DRMCOMBINE_BEFORE, t.x, t.y, t.z, t.degrees * std::numbers::pi_v<float> / 180);
            if (smoothing) scene.SmoothJoints();
            // The camera moves in front of the joint: the joint lands in the middle of the picture.
            rm::Vector joint;
            link->GetPosition(camera->Parent(), &joint);
            camera->SetPosition(camera->Parent(), joint.x, joint.y, joint.z - kDepth);
            const auto bmp = RenderToBmp(scene.MakeRenderRequest(nullptr));
            const QImage image = QImage::fromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
            ASSERT_EQ(image.size(), QSize(kSize, kSize));
            if (const int holes = EnclosedDarkPixels(image))
                faults << j.link << " turned " << t.degrees << " about (" << t.x << "," << t.y << ","
                       << t.z << "): " << holes << " pixels\n";
            // For looking at the joints: MARISOLE_JOINT_PICTURES names a folder for every render.
            if (qEnvironmentVariableIsSet("MARISOLE_JOINT_PICTURES"))
                image.save(qEnvironmentVariable("MARISOLE_JOINT_PICTURES") + "/" + j.link + "_" +
                           QString::number(t.degrees) + "_" + QString::number(t.x) + QString::number(t.y) +
                           QString::number(t.z) + (smoothing ? "_s" : "") +
                           ".png");
        }
        link->AddTransform(rm::D3DRMCOMBINE_REPLACE, standing);
        if (spreadLink) spreadLink->AddTransform(rm::D3DRMCOMBINE_REPLACE, spreadStanding);
    }
    EXPECT_TRUE(faults.str().empty()) << faults.str();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSmoothing, JointClosure, ::testing::Bool(), testsupport::PrintedName());

}  // namespace
