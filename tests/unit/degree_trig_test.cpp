#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "calc/degree_trig.h"
#include "calc/double_double.h"
#include "runframe/arith_failures.h"

namespace {

using strma::calc::cos_deg;
using strma::calc::Ext64;
using strma::calc::sin_deg;
using strma::calc::tan_deg;
using strma::runframe::active_math_function;
using strma::runframe::MathFunction;
namespace dd = strma::calc::dd;

// hi + lo to 17 significant digits, "d.dddddddddddddddde+XX". The value is scaled by ten
// in double-double (relative error near 2^-100, far below half a unit of the 17th digit
// for the values below) and rounded to an integer.
std::string digits17(Ext64 v) {
  const bool negative = v.hi < 0;
  dd::DoubleDouble a{std::fabs(v.hi), negative ? -v.lo : v.lo};
  int exponent = static_cast<int>(std::floor(std::log10(a.hi)));
  for (int k = 16 - exponent; k > 0; --k) a = dd::mul(a, 10.0);
  for (int k = 16 - exponent; k < 0; ++k) a = dd::div(a, 10.0);
  auto n = static_cast<std::int64_t>(a.hi) + static_cast<std::int64_t>(std::llround(a.lo));
  if (n >= 100000000000000000) {
    n = (n + 5) / 10;
    ++exponent;
  }
  char text[40];
  const std::string d = std::to_string(n);
  std::snprintf(text, sizeof text, "%s%c.%se%+03d", negative ? "-" : "", d[0], d.c_str() + 1,
                exponent);
  return text;
}

bool is_plus_zero(Ext64 v) { return v.hi == 0 && !std::signbit(v.hi) && v.lo == 0; }

TEST(DegreeTrig, ValuesTheCalculatorDependsOn) {
  struct Case {
    const char* call;
    Ext64 value;
    const char* expected;
  } cases[] = {
      {"tan_deg(30)", tan_deg(30), "5.7735026918962584e-01"},
      {"sin_deg(30)", sin_deg(30), "5.0000000000000005e-01"},
      {"cos_deg(30)", cos_deg(30), "8.6602540378443862e-01"},
      {"sin_deg(-180)", sin_deg(-180), "-1.2246467991473532e-16"},
      {"cos_deg(-90)", cos_deg(-90), "6.1232339957367659e-17"},
      {"tan_deg(90)", tan_deg(90), "1.6331239353195370e+16"},
      {"tan_deg(180)", tan_deg(180), "-1.2246467991473532e-16"},
      {"sin_deg(1e30)", sin_deg(1e30f), "8.6602540378443854e-01"},  // 1e30 = 120 mod 360
      {"sin_deg(-330)", sin_deg(-330), "4.9999999999999968e-01"},
  };
  for (const Case& c : cases) EXPECT_EQ(digits17(c.value), c.expected) << c.call;
  // The single the calculator keeps of tan 30.
  EXPECT_EQ(static_cast<float>(tan_deg(30).hi), 0.57735025882720947265625f);
}

TEST(DegreeTrig, ExactCasesAreTheNonNegativeQuadrantRemainders) {
  for (float a : {0.0f, -0.0f, 360.0f, -360.0f, 180.0f, 540.0f, 720.0f, 3.6e6f}) {
    EXPECT_TRUE(is_plus_zero(sin_deg(a))) << a;
  }
  for (float a : {0.0f, -0.0f, 360.0f, -360.0f}) EXPECT_EQ(cos_deg(a).hi, 1.0) << a;
  for (float a : {90.0f, 270.0f, 450.0f}) EXPECT_TRUE(is_plus_zero(cos_deg(a))) << a;
  EXPECT_EQ(sin_deg(450).hi, 1.0);
  EXPECT_EQ(sin_deg(270).hi, -1.0);
  EXPECT_EQ(cos_deg(180).hi, -1.0);
  // Negative remainders take the general path.
  EXPECT_NE(sin_deg(-180).hi, 0.0);
  EXPECT_NE(cos_deg(-90).hi, 0.0);
  EXPECT_NE(cos_deg(-270).hi, 0.0);
  const Ext64 minus_ninety = sin_deg(-90);  // computed, and it rounds to -1
  EXPECT_EQ(minus_ninety.hi, -1.0);
  EXPECT_EQ(minus_ninety.lo, 0.0);
}

TEST(DegreeTrig, ReductionBy360IsExact) {
  // 360.5 is reduced to 0.5 exactly; 1e30 (a single) to 120; -330 stays -330.
  const Ext64 a = sin_deg(360.5f), b = sin_deg(0.5f);
  EXPECT_EQ(a.hi, b.hi);
  EXPECT_EQ(a.lo, b.lo);
  const Ext64 c = cos_deg(1e30f), d = cos_deg(120.0f);
  EXPECT_EQ(c.hi, d.hi);
  EXPECT_EQ(c.lo, d.lo);
  const Ext64 e = sin_deg(-1e30f), f = sin_deg(-120.0f);
  EXPECT_EQ(e.hi, f.hi);
  EXPECT_EQ(e.lo, f.lo);
  const Ext64 g = sin_deg(390.0f), h = sin_deg(30.0f);
  EXPECT_EQ(g.hi, h.hi);
  EXPECT_EQ(g.lo, h.lo);
}

TEST(DegreeTrig, MarkerIsBackToZeroAfterEveryCall) {
  for (float a : {0.0f, 30.0f, 90.0f, -180.0f, 1e20f}) {
    sin_deg(a);
    EXPECT_EQ(active_math_function(), MathFunction::none);
    cos_deg(a);
    EXPECT_EQ(active_math_function(), MathFunction::none);
    tan_deg(a);
    EXPECT_EQ(active_math_function(), MathFunction::none);
  }
}

TEST(DegreeTrig, TangentBeyond2To63RadiansIsATotalLossOfPrecision) {
  EXPECT_TRUE(std::isfinite(tan_deg(5.28e20f).hi));  // 9.215e18 radians
  EXPECT_EXIT(tan_deg(5.29e20f), ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6205: MATH\r\n- tan: TLOSS error\r\n$");
}

TEST(DegreeTrig, NonFiniteArgumentsAreDomainErrors) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const char* mod = "^\r\nrun-time error M6201: MATH\r\n- mod: DOMAIN error\r\n$";
  const char* tan = "^\r\nrun-time error M6201: MATH\r\n- tan: DOMAIN error\r\n$";
  EXPECT_EXIT(sin_deg(inf), ::testing::ExitedWithCode(1), mod);
  EXPECT_EXIT(cos_deg(-inf), ::testing::ExitedWithCode(1), mod);
  EXPECT_EXIT(sin_deg(nan), ::testing::ExitedWithCode(1), mod);
  EXPECT_EXIT(tan_deg(inf), ::testing::ExitedWithCode(1), tan);
  EXPECT_EXIT(tan_deg(nan), ::testing::ExitedWithCode(1), tan);
}

}  // namespace
