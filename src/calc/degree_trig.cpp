#include "calc/degree_trig.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "calc/trig64.h"
#include "runframe/arith_failures.h"

namespace strma::calc {
namespace {

// pi rounded to a 64-bit significand, 3.141592653589793238512808959406186204433, held
// exactly: the double nearest pi plus the rest.
constexpr Ext64 kPi64{0x1.921fb54442d18p+1, 0x1.1a8p-53};

// angle - n 360 with n = angle / 360 truncated toward zero, exactly, for a finite angle.
// The angle is m 2^e with an integer m < 2^24; for e >= 0 the remainder is that of the
// integer m 2^e, formed as (m mod 360)(2^e mod 360) mod 360 without ever exceeding 64 bits;
// for e < 0 and |angle| >= 360 (then e >= -15) it is (m mod (360 2^-e)) 2^e. Either way the
// result is a multiple of 2^e below 360, held exactly by a double. It keeps the sign of the
// angle: a negative multiple of 360 gives -0, which compares equal to 0. A zero angle of
// either sign gives +0.
double remainder_360(float angle) {
  const double x = angle;
  if (x == 0) return 0.0;
  const double ax = std::fabs(x);
  if (ax < 360) return x;
  int e = 0;
  const double f = std::frexp(ax, &e);
  const auto m = static_cast<std::uint64_t>(std::ldexp(f, 24));  // ax = m 2^(e - 24)
  const int e2 = e - 24;
  double r = 0;
  if (e2 >= 0) {
    std::uint64_t power = 1;  // 2^e2 mod 360
    for (int i = 0; i < e2; ++i) power = power * 2 % 360;
    r = static_cast<double>(m % 360 * power % 360);
  } else {
    const std::uint64_t modulus = std::uint64_t{360} << -e2;
    r = std::ldexp(static_cast<double>(m % modulus), e2);
  }
  return std::signbit(x) ? -r : r;
}

// (r pi64) rounded once to double, then divided by 180 and rounded once more.
double radians(double degrees) { return mul_to_double(kPi64, degrees) / 180.0; }

Ext64 report(runframe::MathErrorClass error_class, const char* name) {
  const double value =
      runframe::math_error_handler(error_class, name, std::numeric_limits<double>::quiet_NaN());
  return {value, 0.0};
}

}  // namespace

Ext64 sin_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::sin_deg);
  if (!std::isfinite(angle)) return report(runframe::MathErrorClass::domain, "mod");
  const double r = remainder_360(angle);
  if (r == 0) return {0.0, 0.0};
  if (r == 90) return {1.0, 0.0};
  if (r == 180) return {0.0, 0.0};
  if (r == 270) return {-1.0, 0.0};
  return sin64(radians(r));
}

Ext64 cos_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::cos_deg);
  if (!std::isfinite(angle)) return report(runframe::MathErrorClass::domain, "mod");
  const double r = remainder_360(angle);
  if (r == 0) return {1.0, 0.0};
  if (r == 90) return {0.0, 0.0};
  if (r == 180) return {-1.0, 0.0};
  if (r == 270) return {0.0, 0.0};
  return cos64(radians(r));
}

Ext64 tan_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::tan_deg);
  if (!std::isfinite(angle)) return report(runframe::MathErrorClass::domain, "tan");
  const double x = radians(angle);
  if (std::fabs(x) >= 0x1p63) return report(runframe::MathErrorClass::total_loss, "tan");
  return tan64(x);
}

}  // namespace strma::calc
