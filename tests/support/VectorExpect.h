#pragma once
// Comparing points and directions in tests.

#include <gtest/gtest.h>

#include "platform/rm/VectorMath.h"

namespace testvec {

inline void ExpectNear(const rm::Vector& actual, const rm::Vector& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline float Distance(const rm::Vector& a, const rm::Vector& b) { return rm::Length(rm::Sub(a, b)); }

}  // namespace testvec
