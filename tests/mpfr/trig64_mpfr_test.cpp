// The sine, cosine and tangent of doubles against MPFR's correctly rounded 64-bit values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "calc/trig64.h"
#include "mpfr_support.h"

namespace {

using strma::calc::Ext64;
using strma::calc::TrigFunction;
using strma::test::Real;
using strma::test::set_ext64;
using strma::test::ulps64;
namespace detail = strma::calc::trig64_detail;

constexpr TrigFunction kFunctions[] = {TrigFunction::sin, TrigFunction::cos, TrigFunction::tan};
const char* name(TrigFunction f) {
  return f == TrigFunction::sin ? "sin" : f == TrigFunction::cos ? "cos" : "tan";
}

void mpfr_trig(TrigFunction f, mpfr_ptr y, mpfr_srcptr x) {
  if (f == TrigFunction::sin) mpfr_sin(y, x, MPFR_RNDN);
  if (f == TrigFunction::cos) mpfr_cos(y, x, MPFR_RNDN);
  if (f == TrigFunction::tan) mpfr_tan(y, x, MPFR_RNDN);
}

double from_bits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// The arguments, reproducible: a quarter each of
//  - random bit patterns: every finite double, both signs, the whole exponent range;
//  - random magnitudes from 2^-34 to 2^64, uniform in the exponent;
//  - doubles within 8 units of the last place of k pi/2, k up to 2^60;
//  - doubles next to zero, from the smallest subnormal to 2^-20, and around 2^-33.
// plus a few known hard ones.
std::vector<double> arguments(std::size_t count) {
  std::mt19937_64 random(20240604);
  std::vector<double> out;
  out.reserve(count + 8);
  out.push_back(0x1.6ac5b262ca1ffp+849);  // 6381956970095103 2^797: closest double to k pi/2
  out.push_back(0x1.921fb54442d18p+0);    // nearest pi/2
  out.push_back(0x1.921fb54442d18p+1);    // nearest pi
  out.push_back(0x1.fffffffffffffp+1023);
  out.push_back(0x1p-1074);
  Real k_pi_2(300), multiple(300);
  mpfr_const_pi(k_pi_2, MPFR_RNDN);
  mpfr_div_2ui(k_pi_2, k_pi_2, 1, MPFR_RNDN);
  while (out.size() < count) {
    const std::uint64_t r = random();
    const std::uint64_t mantissa = random() >> 12;  // 52 bits
    double x = 0;
    switch (out.size() % 4) {
      case 0:
        x = from_bits(r);
        if (!std::isfinite(x)) continue;
        break;
      case 1:
        x = std::ldexp(1.0 + std::ldexp(static_cast<double>(mantissa), -52),
                       static_cast<int>(r % 98) - 34);
        break;
      case 2: {
        const int bits = static_cast<int>(r % 60) + 1;
        const std::uint64_t k = std::max<std::uint64_t>(random() >> (64 - bits), 1);
        mpfr_mul_ui(multiple, k_pi_2, k, MPFR_RNDN);
        x = mpfr_get_d(multiple, MPFR_RNDN);
        const int steps = static_cast<int>((r >> 8) % 17) - 8;
        for (int i = 0; i < std::abs(steps); ++i) x = std::nextafter(x, steps > 0 ? 1e300 : 0.0);
        break;
      }
      case 3:
        if (r % 8 == 0) {
          x = std::ldexp(1.0 + std::ldexp(static_cast<double>(mantissa % 64), -52),
                         static_cast<int>((r >> 8) % 3) - 34);
        } else {
          x = std::ldexp(1.0 + std::ldexp(static_cast<double>(mantissa), -52),
                         -20 - static_cast<int>((r >> 8) % 1055));  // subnormals at the end
        }
        break;
    }
    out.push_back((r >> 63) != 0 ? -x : x);
  }
  return out;
}

struct Tally {
  std::size_t compared = 0;
  std::size_t misrounded = 0;
  double worst_ulps = 0;
  double worst_argument = 0;
  TrigFunction worst_function = TrigFunction::sin;
  std::size_t slow_checked = 0;
  std::size_t slow_misrounded = 0;
  std::size_t fast_undecided = 0;
  double worst_fast_relative = 0;  // of the double-double approximation
  std::vector<std::string> examples;
};

// Every function of every argument in [begin, end); the slow path and the double-double
// approximation on every 50th.
void check_range(const std::vector<double>& xs, std::size_t begin, std::size_t end, Tally& t) {
  Real x(53), exact_sin(128), exact_cos(128), exact_tan(128), rounded(64), ours(128), rel(128);
  for (std::size_t i = begin; i < end; ++i) {
    mpfr_set_d(x, xs[i], MPFR_RNDN);
    mpfr_sin_cos(exact_sin, exact_cos, x, MPFR_RNDN);
    mpfr_tan(exact_tan, x, MPFR_RNDN);
    const bool sampled = i % 50 == 0;
    for (TrigFunction f : kFunctions) {
      mpfr_ptr exact = f == TrigFunction::sin ? exact_sin.get()
                       : f == TrigFunction::cos ? exact_cos.get()
                                                : exact_tan.get();
      // The correctly rounded 64-bit value: from the 128-bit one when that decides the
      // rounding to nearest (the test MPFR documents), directly otherwise.
      if (mpfr_can_round(exact, 127, MPFR_RNDN, MPFR_RNDZ, 65)) {
        mpfr_set(rounded, exact, MPFR_RNDN);
      } else {
        mpfr_trig(f, rounded, x);
      }
      const Ext64 value = strma::calc::trig64(f, xs[i]);
      set_ext64(ours, value);
      ++t.compared;
      if (mpfr_cmp(ours, rounded) != 0 || std::signbit(value.hi) != mpfr_signbit(rounded)) {
        ++t.misrounded;
        if (t.examples.size() < 10) {
          char text[160];
          std::snprintf(text, sizeof text, "%s(%a): got %a + %a", name(f), xs[i], value.hi,
                        value.lo);
          t.examples.push_back(text);
        }
      }
      if (!mpfr_zero_p(exact)) {
        const double e = ulps64(ours, exact, rel);
        if (e > t.worst_ulps) {
          t.worst_ulps = e;
          t.worst_argument = xs[i];
          t.worst_function = f;
        }
      }
      if (sampled && std::fabs(xs[i]) >= 0x1p-33) {
        set_ext64(ours, detail::slow(f, xs[i]));
        ++t.slow_checked;
        if (mpfr_cmp(ours, rounded) != 0) ++t.slow_misrounded;
        Ext64 fast{};
        if (!detail::fast(f, xs[i], fast)) ++t.fast_undecided;
        const strma::calc::dd::DoubleDouble a = detail::approx(f, xs[i]);
        set_ext64(rel, {a.hi, a.lo});
        mpfr_sub(rel, rel, exact, MPFR_RNDN);
        mpfr_div(rel, rel, exact, MPFR_RNDN);
        t.worst_fast_relative =
            std::max(t.worst_fast_relative, std::fabs(mpfr_get_d(rel, MPFR_RNDU)));
      }
    }
  }
  mpfr_free_cache();
}

TEST(Trig64Accuracy, TablesOfTwoOverPiAndPiOverTwoAreExact) {
  Real value(2000), word(2000);
  mpfr_const_pi(value, MPFR_RNDN);
  mpfr_ui_div(value, 2, value, MPFR_RNDN);
  for (int i = 0; i < 48; ++i) {
    mpfr_mul_2ui(value, value, 32, MPFR_RNDN);
    mpfr_floor(word, value);
    EXPECT_EQ(mpfr_get_ui(word, MPFR_RNDN), detail::kTwoOverPi[i]) << "word " << i;
    mpfr_sub(value, value, word, MPFR_RNDN);
  }
  mpfr_const_pi(value, MPFR_RNDN);
  mpfr_div_2ui(value, value, 1, MPFR_RNDN);
  for (int i = 0; i < 13; ++i) {
    mpfr_floor(word, value);
    EXPECT_EQ(mpfr_get_ui(word, MPFR_RNDN), detail::kPiOverTwo[i]) << "word " << i;
    mpfr_sub(value, value, word, MPFR_RNDN);
    mpfr_mul_2ui(value, value, 32, MPFR_RNDN);
  }
}

TEST(Trig64Accuracy, ValuesNextToAMidpointAreDecidedByTheSlowPath) {
  // cos 2^-32 = 1 - 2^-65 + 2^-131/3 - ...: 2^-131 above the midpoint between 1 - 2^-64 and
  // 1, far closer than the double-double bound can tell.
  Real x(53), want(64), got(128);
  for (double arg : {0x1p-32, -0x1p-32}) {
    Ext64 unused{};
    EXPECT_FALSE(detail::fast(TrigFunction::cos, arg, unused));
    const Ext64 value = strma::calc::trig64(TrigFunction::cos, arg);
    mpfr_set_d(x, arg, MPFR_RNDN);
    mpfr_cos(want, x, MPFR_RNDN);
    set_ext64(got, value);
    EXPECT_EQ(mpfr_cmp(got, want), 0) << std::hexfloat << value.hi << " + " << value.lo;
    EXPECT_EQ(value.hi, 1.0);
  }
}

TEST(Trig64Accuracy, CorrectlyRoundedForAMillionArguments) {
  const std::vector<double> xs = arguments(1000000);
  // Two halves on two threads when MPFR keeps its state per thread.
  Tally tallies[2];
  const std::size_t half = xs.size() / 2;
  if (mpfr_buildopt_tls_p()) {
    std::thread other([&] { check_range(xs, half, xs.size(), tallies[1]); });
    check_range(xs, 0, half, tallies[0]);
    other.join();
  } else {
    check_range(xs, 0, half, tallies[0]);
    check_range(xs, half, xs.size(), tallies[1]);
  }
  Tally t = tallies[0];
  const Tally& u = tallies[1];
  t.compared += u.compared;
  t.misrounded += u.misrounded;
  if (u.worst_ulps > t.worst_ulps) {
    t.worst_ulps = u.worst_ulps;
    t.worst_argument = u.worst_argument;
    t.worst_function = u.worst_function;
  }
  t.slow_checked += u.slow_checked;
  t.slow_misrounded += u.slow_misrounded;
  t.fast_undecided += u.fast_undecided;
  t.worst_fast_relative = std::max(t.worst_fast_relative, u.worst_fast_relative);
  t.examples.insert(t.examples.end(), u.examples.begin(), u.examples.end());

  std::printf("arguments %zu, results compared %zu, misrounded %zu, worst error %.9f ulp "
              "(%s of %a)\n",
              xs.size(), t.compared, t.misrounded, t.worst_ulps, name(t.worst_function),
              t.worst_argument);
  std::printf("slow path alone: %zu results, misrounded %zu; fast path undecided %zu; "
              "worst relative error of the double-double value 2^%.2f (bound 2^%.0f)\n",
              t.slow_checked, t.slow_misrounded, t.fast_undecided,
              std::log2(t.worst_fast_relative), std::log2(detail::kFastRelativeError));
  for (const std::string& e : t.examples) std::printf("  %s\n", e.c_str());
  EXPECT_EQ(t.misrounded, 0u);
  EXPECT_LE(t.worst_ulps, 0.5);
  EXPECT_EQ(t.slow_misrounded, 0u);
  // The bound the rounding test relies on keeps a wide margin over the measured error.
  EXPECT_LT(t.worst_fast_relative, detail::kFastRelativeError / 16);
}

}  // namespace
