// Animation keys, interpolation and looping.

#include <gtest/gtest.h>

#include <cmath>

#include "RmTestUtil.h"
#include "platform/rm/Library.h"

using namespace rm;
using rmtest::ExpectNear;
using rmtest::kPi;
using rmtest::World;

namespace {

class AnimationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = lib->CreateFrame(nullptr);
        anim = lib->CreateAnimation();
        anim->SetFrame(frame.Get());
        set = lib->CreateAnimationSet();
        set->AddAnimation(anim.Get());
    }
    Ref<Library> lib = Library::Create();
    Ref<Frame> frame;
    Ref<Animation> anim;
    Ref<AnimationSet> set;
};

Quaternion AxisAngle(Vector axis, float theta) {
    return {std::cos(theta / 2),
            {axis.x * std::sin(theta / 2), axis.y * std::sin(theta / 2), axis.z * std::sin(theta / 2)}};
}

struct TimeCase {
    std::uint32_t options;
    float time;
    float expectedX;
};

TEST_F(AnimationTest, PositionInterpolatesLinearlyAndLoopsWhenClosed) {
    anim->AddPositionKey(10, 0, 0, 0);
    anim->AddPositionKey(30, 20, 0, 0);
    anim->AddPositionKey(20, 5, 0, 0);  // inserted out of order: kept sorted
    const TimeCase cases[] = {
        {D3DRMANIMATION_OPEN | D3DRMANIMATION_POSITION, 15, 2.5f},
        {D3DRMANIMATION_OPEN | D3DRMANIMATION_POSITION, 25, 12.5f},
        {D3DRMANIMATION_OPEN | D3DRMANIMATION_POSITION, 0, 0},        // clamped to the first key
        {D3DRMANIMATION_OPEN | D3DRMANIMATION_POSITION, 99, 20},      // clamped to the last key
        {D3DRMANIMATION_CLOSED | D3DRMANIMATION_POSITION, 35, 2.5f},  // 10 + fmod(25, 20) = 15
        {D3DRMANIMATION_CLOSED | D3DRMANIMATION_POSITION, 5, 12.5f},  // before the start wraps too
        {D3DRMANIMATION_CLOSED | D3DRMANIMATION_POSITION, 50, 0},
    };
    for (const auto& c : cases) {
        anim->SetOptions(c.options);
        set->SetTime(c.time);
        Vector p;
        frame->GetPosition(nullptr, &p);
        EXPECT_NEAR(p.x, c.expectedX, 1e-5f) << "time " << c.time;
    }
}

TEST_F(AnimationTest, RotationUsesSlerpAndTheMatrixIsScaleRotationThenPosition) {
    anim->SetOptions(0x36);
    anim->AddRotateKey(0, AxisAngle({0, 0, 1}, 0));
    anim->AddRotateKey(10, AxisAngle({0, 0, 1}, kPi / 2));
    anim->AddScaleKey(0, 2, 2, 2);
    anim->AddPositionKey(0, 1, 2, 3);
    set->SetTime(5);
    // Scale 2, then a turn of pi/4 about z, then moved to (1, 2, 3).
    const float h = std::sqrt(2.0f);
    ExpectNear(World(*frame, {1, 0, 0}), {1 + h, 2 + h, 3});
}

TEST_F(AnimationTest, RotationTakesTheShorterArc) {
    anim->SetOptions(D3DRMANIMATION_OPEN | D3DRMANIMATION_SCALEANDROTATION);
    const Quaternion a = AxisAngle({0, 0, 1}, 0.1f);
    Quaternion b = AxisAngle({0, 0, 1}, 0.3f);
    b = {-b.s, {-b.v.x, -b.v.y, -b.v.z}};  // the same rotation, other sign
    anim->AddRotateKey(0, a);
    anim->AddRotateKey(1, b);
    anim->SetTime(0.5f);
    ExpectNear(World(*frame, {1, 0, 0}), {std::cos(0.2f), std::sin(0.2f), 0});
}

TEST_F(AnimationTest, RotateKeyOfIdentityQuaternionLeavesTheAxes) {
    anim->SetOptions(0x36);
    anim->AddRotateKey(10, Quaternion{1, {0, 0, 0}});
    set->SetTime(50);
    ExpectNear(World(*frame, {0, 1, 0}), {0, 1, 0});
}

TEST_F(AnimationTest, EqualTimesKeepInsertionOrder) {
    anim->SetOptions(D3DRMANIMATION_OPEN | D3DRMANIMATION_POSITION);
    anim->AddPositionKey(0, 0, 0, 0);
    anim->AddPositionKey(10, 1, 0, 0);
    anim->AddPositionKey(10, 2, 0, 0);
    anim->AddPositionKey(20, 3, 0, 0);
    Vector p;
    anim->PositionAt(15, &p);  // between the second key of time 10 and time 20
    EXPECT_NEAR(p.x, 2.5f, 1e-6f);
}

TEST_F(AnimationTest, SetKeepsAnimationsAndTheirFramesAlive) {
    anim->AddPositionKey(0, 4, 0, 0);
    anim->SetOptions(D3DRMANIMATION_POSITION);
    Frame* raw = frame.Get();
    frame = nullptr;
    anim = nullptr;
    set->SetTime(0);
    Vector p;
    raw->GetPosition(nullptr, &p);
    EXPECT_EQ(p.x, 4);
}

}  // namespace
