#pragma once
// Helpers shared by the retained-mode tests.

#include <gtest/gtest.h>

#include "platform/rm/Library.h"

namespace rmtest {

constexpr float kPi = 3.14159265358979f;

inline void ExpectNear(const rm::Vector& a, const rm::Vector& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

inline rm::Vector World(const rm::Frame& f, rm::Vector local) {
    rm::Vector w;
    f.Transform(&w, &local);
    return w;
}

}  // namespace rmtest
