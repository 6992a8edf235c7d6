#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "calc/ext64.h"

namespace {

using strma::calc::Ext64;
using strma::calc::mul_to_double;
using strma::calc::round_to_float;

TEST(MulToDouble, RoundsTheExactProductOnceWhereTwoRoundingsDiffer) {
  // sin_deg(0.2362) times the single 9.81: the exact product lies just above the midpoint
  // between two doubles. Rounded to 64 bits first, it lands on that midpoint, and the second
  // rounding (ties to even) goes down: one unit too low in the last place.
  const Ext64 sine{0x1.0e2b5621912fp-8, -0x1.748p-62};
  const double gravity = 9.81f;
  const double correct = 0x1.4b4b8b81ca685p-5;
  const double rounded_twice = 0x1.4b4b8b81ca684p-5;
  EXPECT_EQ(mul_to_double(sine, gravity), correct);
  EXPECT_NE(correct, rounded_twice);
}

TEST(MulToDouble, SignsZerosAndSubnormalResults) {
  const double tiny = 0x1p-1074;
  struct Case {
    Ext64 a;
    double b;
    double expected;
  } cases[] = {
      {{0x1.8p0, 0.0}, tiny, 0x1p-1073},           // 1.5 units: tie, to even
      {{0x1.8p0, -0x1p-60}, tiny, 0x1p-1074},      // just below the tie (hi * b would round up)
      {{0x1.8p0, 0x1p-60}, tiny, 0x1p-1073},       // just above it
      {{0x1.4p0, 0.0}, -tiny, -0x1p-1074},         // 1.25 units, negative
      {{0x1p-1, 0.0}, tiny, 0.0},                  // half a unit: tie, to zero
      {{-0x1.921fb54442d18p+1, -0x1.1a8p-53}, -30.0, 0x1.78fdb9effea47p+6},  // -pi64 times -30
      {{0x1p+1000, 0.0}, 0x1p+100, std::numeric_limits<double>::infinity()},
  };
  for (const Case& c : cases) {
    const double got = mul_to_double(c.a, c.b);
    EXPECT_EQ(got, c.expected) << std::hexfloat << c.a.hi << " + " << c.a.lo << " times " << c.b;
  }
  EXPECT_TRUE(std::signbit(mul_to_double({0.0, 0.0}, -3.0)));
  EXPECT_FALSE(std::signbit(mul_to_double({-0.0, 0.0}, -3.0)));
}

TEST(RoundToFloat, TheLowPartDecidesTiesAndSubnormalsRoundOnce) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    Ext64 a;
    float expected;
  } cases[] = {
      {{1 + 0x1p-24, 0x1p-60}, 1 + 0x1p-23f},   // hi alone is a tie that would go to 1
      {{1 + 0x1p-24, -0x1p-60}, 1.0f},
      {{-(1 + 0x1p-24), -0x1p-60}, -(1 + 0x1p-23f)},
      {{0x1.8p-149, 0.0}, 0x1p-148f},            // subnormal tie, to even
      {{0x1p-150, 0.0}, 0.0f},
      {{0x1.0000000000001p-150, 0.0}, 0x1p-149f},
      {{0x1.ffffffp+127, 0.0}, inf},             // the tie above the largest single
      {{0x1.ffffffp+127, -0x1p+70}, 0x1.fffffep+127f},
      {{0.57735026918962584, 0.0}, 0.57735025882720947265625f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(round_to_float(c.a), c.expected) << std::hexfloat << c.a.hi << " + " << c.a.lo;
  }
}

}  // namespace
