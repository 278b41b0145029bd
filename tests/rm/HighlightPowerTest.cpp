// The highlight's power function: whole powers by squaring give the float the library's power
// function gives, for every cosine a highlight meets; other powers go to the library.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/rm/raster/Lighting.h"

TEST(HighlightPower, WholePowersGiveTheLibrarysFloatEverywhere) {
    for (int p = 1; p <= 64; ++p)
        for (int i = 0; i <= 20000; ++i) {
            // Cosines spread over [0, 1], and crowded near 1 where highlights are bright.
            const double x = i % 2 == 0 ? i / 20000.0 : 1.0 - std::ldexp(double(i), -24);
            const float want = static_cast<float>(std::pow(x, double(p)));
            ASSERT_EQ(static_cast<float>(rm::raster::HighlightPower(x, p)), want) << x << " ^ " << p;
        }
}

TEST(HighlightPower, OtherPowersAreTheLibrarys) {
    for (double p : {0.0, 0.5, 2.5, 64.5, 65.0, 128.0, -3.0})
        for (double x : {0.0, 0.25, 0.7071, 0.999, 1.0})
            EXPECT_EQ(rm::raster::HighlightPower(x, p), std::pow(x, p)) << x << " ^ " << p;
}
