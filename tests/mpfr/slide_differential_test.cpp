// compute_slide against the same computation done in MPFR with the program's rounding
// points: sine, cosine and tangent rounded to 64 bits from the same double radian value,
// every product, difference, quotient and root rounded once to double, every store rounded
// once to single (subnormals included, overflow to infinity).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "calc/slide_computation.h"
#include "mpfr_support.h"

namespace {

using strma::calc::compute_slide;
using strma::calc::SlideFailure;
using strma::test::Real;

enum class Fn { sin, cos, tan };

// The degree functions: the remainder by 360 (exact), the exact cases, the radian value
// rounded twice to double, the function rounded to 64 bits. `out` has 64 bits.
void degree_function(Fn fn, float angle, mpfr_ptr out) {
  Real r(64), pi64(64), rad(53);
  mpfr_set_flt(r, angle, MPFR_RNDN);
  if (fn != Fn::tan) {
    mpfr_fmod_ui(r, r, 360, MPFR_RNDN);  // exact, sign of the angle
    const int exact[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};  // {sin, cos} at 0, 90, ...
    for (int q = 0; q < 4; ++q) {
      if (mpfr_cmp_ui(r, 90 * q) == 0) {
        mpfr_set_si(out, exact[q][fn == Fn::sin ? 0 : 1], MPFR_RNDN);
        return;
      }
    }
  }
  mpfr_const_pi(pi64, MPFR_RNDN);
  mpfr_mul(rad, r, pi64, MPFR_RNDN);
  mpfr_div_ui(rad, rad, 180, MPFR_RNDN);
  if (fn == Fn::sin) mpfr_sin(out, rad, MPFR_RNDN);
  if (fn == Fn::cos) mpfr_cos(out, rad, MPFR_RNDN);
  if (fn == Fn::tan) mpfr_tan(out, rad, MPFR_RNDN);
}

// a * b rounded once to double (the exact product of a 64-bit and a 53-bit value has at
// most 117 bits; mpfr_get_d rounds it once, to a subnormal if need be).
double product(mpfr_srcptr a, double b) {
  Real p(128);
  mpfr_mul_d(p, a, b, MPFR_RNDN);
  return mpfr_get_d(p, MPFR_RNDN);
}

double to_double(mpfr_srcptr x) { return mpfr_get_d(x, MPFR_RNDN); }

struct Reference {
  float friction_coeff;
  float accel;
  float slide_time;
  SlideFailure failure;
};

Reference reference(float angle, float height) {
  Reference out{};
  const double gravity = 9.81f;
  Real t(64), s(64), c(64), d(53);
  degree_function(Fn::tan, 30.0f, t);
  out.friction_coeff = mpfr_get_flt(t, MPFR_RNDN);
  degree_function(Fn::sin, angle, s);
  degree_function(Fn::cos, angle, c);
  const float slope_gravity = static_cast<float>(product(s, gravity));  // a double: exact
  Real sg(53), term(53);
  mpfr_set_d(term, product(c, out.friction_coeff), MPFR_RNDN);
  mpfr_set_d(term, product(term, gravity), MPFR_RNDN);
  mpfr_set_flt(sg, slope_gravity, MPFR_RNDN);
  mpfr_sub(d, sg, term, MPFR_RNDN);  // a difference of doubles: never subnormal unless exact
  out.accel = mpfr_get_flt(d, MPFR_RNDN);
  const double denominator = product(s, out.accel);
  const double numerator = static_cast<double>(height) * 2;
  if (denominator == 0) {
    out.failure = numerator == 0 ? SlideFailure::invalid : SlideFailure::divide_by_zero;
    return out;
  }
  Real q(53);
  mpfr_set_d(q, numerator, MPFR_RNDN);
  mpfr_div_d(q, q, denominator, MPFR_RNDN);
  EXPECT_TRUE(mpfr_zero_p(q) || std::fabs(to_double(q)) >= 0x1p-1022);  // no subnormal
  if (mpfr_sgn(q.get()) < 0) {
    out.failure = SlideFailure::sqrt_domain;
    return out;
  }
  mpfr_sqrt(q, q, MPFR_RNDN);
  out.slide_time = mpfr_get_flt(q, MPFR_RNDN);
  if (std::isinf(out.slide_time)) out.failure = SlideFailure::slide_time_overflow;
  return out;
}

float from_bits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::uint32_t bits_of(float f) {
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

float steps_from(float x, int steps) {
  for (int i = 0; i < std::abs(steps); ++i) x = std::nextafter(x, steps > 0 ? 1e30f : -1e30f);
  return x;
}

TEST(SlideDifferential, AgreesWithMpfrBitForBit) {
  std::mt19937_64 random(424242);
  const float centres[] = {30, 210, -150, -330, 390, 0, 90, 180, 270, -180, 360, 45};
  std::size_t count = 0, mismatches = 0, failures = 0;
  for (int i = 0; i < 120000; ++i) {
    const std::uint64_t r = random();
    float angle;
    switch (i % 5) {
      case 0:
      case 1:  // within 64 single steps of the angles where accel cancels
        angle = steps_from(r % 2 == 0 ? 30.0f : 210.0f, static_cast<int>((r >> 8) % 129) - 64);
        break;
      case 2:  // near the other interesting angles
        angle = steps_from(centres[(r >> 8) % 12], static_cast<int>((r >> 16) % 9) - 4);
        break;
      case 3:  // anywhere in two turns
        angle = static_cast<float>(static_cast<double>(r >> 11) * 0x1p-53 * 1440.0 - 720.0);
        break;
      default:  // any finite single, tiny and huge included
        angle = from_bits(static_cast<std::uint32_t>(r >> 32));
        if (!std::isfinite(angle)) angle = 1e-40f;
        break;
    }
    // Heights: any finite single half the time, ordinary ones otherwise, zeros now and then.
    const std::uint64_t h = random();
    float height = from_bits(static_cast<std::uint32_t>(h));
    if (!std::isfinite(height) || h % 2 == 0)
      height = static_cast<float>((static_cast<double>(h >> 11) * 0x1p-53 - 0.5) * 200.0);
    if (h % 97 == 0) height = (h >> 40) % 2 == 0 ? 0.0f : -0.0f;

    const auto got = compute_slide(angle, height);
    const Reference want = reference(angle, height);
    ++count;
    if (want.failure != SlideFailure::none) ++failures;
    const bool same = bits_of(got.friction_coeff) == bits_of(want.friction_coeff) &&
                      bits_of(got.accel) == bits_of(want.accel) && got.failure == want.failure &&
                      (want.failure != SlideFailure::none ||
                       bits_of(got.slide_time) == bits_of(want.slide_time));
    if (!same && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << "angle " << angle << " height " << height << ": accel "
                    << got.accel << " vs " << want.accel << ", time " << got.slide_time
                    << " vs " << want.slide_time << ", failure "
                    << static_cast<int>(got.failure) << " vs " << static_cast<int>(want.failure);
    }
  }
  mpfr_free_cache();
  std::printf("pairs %zu (of which failures %zu), mismatches %zu\n", count, failures, mismatches);
  EXPECT_EQ(mismatches, 0u);
}

}  // namespace
