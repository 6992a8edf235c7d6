// Sine, cosine and tangent of a double, correctly rounded to a 64-bit significand.
//
// Domain: every finite double x. Result: f(x) rounded to nearest (ties to even) to 64
// significant bits, returned exactly as hi + lo (Ext64). Only IEEE double operations,
// std::fma, std::ldexp, std::frexp and 32/64-bit integer arithmetic are used, so every IEEE
// 754 platform gives the same bits.
//
// Method.
//
// 1. Tiny arguments. For |x| < 2^-33, sin x = x(1 - d) with 0 <= d < x^2/6 < 2^-68 and
//    tan x = x(1 + d) with 0 <= d < x^2/3 * 1.01 < 2^-67, while the distance from x (a
//    53-bit value, so a 64-bit grid point) to the nearest 64-bit midpoint is at least
//    |x| 2^-65: both round to x. cos x = 1 - d with 0 < d < x^2/2 < 2^-67 < 2^-65 (half the
//    64-bit spacing below 1): it rounds to 1. (sin and tan keep the sign of a zero x.)
//
// 2. Argument reduction (Payne-Hanek). |x| = N pi/2 + rho with |rho| <= pi/4, quadrant
//    N mod 4. For |x| <= pi/4 (below the double nearest pi/4) rho = |x| exactly. Otherwise
//    |x| = m 2^e with an integer m < 2^53, and |x| 2/pi = m 2^e sum T_i 2^(-32(i+1)) with
//    the 32-bit words T_i of 2/pi. Words whose term m T_i 2^(e-32(i+1)) is a multiple of 4
//    (e - 32(i+1) >= 2) change neither N mod 4 nor the fraction and are skipped; the next 16
//    words are multiplied by m exactly in integers. The binary point of that product lies
//    479 or more bits above its lowest bit, so the words beyond the window (worth less than
//    m 2^(e - 32(i0+16)) <= 2^(53-479)) leave the 384-bit fraction f in error by less than
//    2^-383. f >= 1/2 moves to the next quadrant as f - 1. rho = f pi/2 in 384-bit fixed
//    point: |error of rho| < 2^-381. (The table holds 1536 bits of 2/pi, enough for
//    e <= 971, the largest double.) Every double x that is not a multiple of pi/2 has
//    |rho| > 2^-62 (the closest one is about 2^-61 away), so rho carries more than 318
//    correct bits.
//
// 3. Fast path: double-double. rho is rounded (truncated) to 106 bits, relative error below
//    2^-105. sin and cos of |rho| <= pi/4 are their Taylor series, to rho^29 and rho^28
//    (the first omitted term is below 2^-117 of the result), evaluated by Horner's rule in
//    z = rho^2 with the coefficients 1/n! rounded to double-double (relative error 2^-107).
//    Each step errs by a few 2^-106 of a partial sum that stays within [0.89, 1] (sin / rho)
//    or [0.70, 1] (cos), and no step cancels, so sin and cos err by about 2^-102 relative,
//    tan = sin/cos and cot = cos/sin by about 2^-100. The bound used, kFastRelativeError =
//    2^-95, leaves a factor of 32 (the accuracy test measures the error against 160-bit
//    values and checks it stays below 2^-99).
//
// 4. Rounding test. With y = hi + lo, u the 64-bit spacing at y and t = lo / u (exact), the
//    value rounds to hi + round(t) u unless a 64-bit midpoint lies within the error bound of
//    y; then the fast path gives up. This happens for about one argument in 2^29.
//
// 5. Slow path: the same series in 384-bit fixed point (absolute error below 2^-368 for sin
//    and cos of |rho| <= pi/4), the tangent and cotangent by an exact long division with an
//    error bound taken from the operands' sizes. The result is rounded with the same test,
//    now with an error bound below 2^-300 of the value. An exact value of sin, cos or tan of
//    a nonzero double is never a 64-bit midpoint (it is transcendental), and for the
//    rounding to stay undecided here the value would have to agree with a midpoint to about
//    236 bits beyond the 64th; by the usual counting argument the hardest double arguments
//    need about 64 + 53 + 10 bits. Should it ever happen, the slow path's nearest value is
//    returned (off by at most 2^-300 relative from correct rounding).
#include "calc/trig64.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace strma::calc {
namespace trig64_detail {

// Generated with MPFR at 3000 bits; the accuracy test checks them again.
const std::uint32_t kTwoOverPi[48] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
    0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C,
    0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D,
    0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08,
    0x6599855F, 0x14A06840, 0x8DFFD880, 0x4D732731, 0x06061556, 0xCA73A8C9,
};

const std::uint32_t kPiOverTwo[13] = {
    0x00000001, 0x921FB544, 0x42D18469, 0x898CC517, 0x01B839A2, 0x52049C11, 0x14CF98E8,
    0x04177D4C, 0x76273644, 0xA29410F3, 0x1C6809BB, 0xDF2A3367, 0x9A748636,
};

}  // namespace trig64_detail

namespace {

using dd::DoubleDouble;
using std::uint32_t;
using std::uint64_t;
using trig64_detail::kFastRelativeError;

// ---- Bit access on little-endian arrays of 32-bit words -------------------------------

uint32_t word_at(const uint32_t* w, int n, int i) { return i >= 0 && i < n ? w[i] : 0; }

// Bits [low, low + count) of the integer held in w[0..n), count <= 32; bits outside the
// array read as zero.
uint32_t bits_at(const uint32_t* w, int n, int low, int count) {
  const int q = low >= 0 ? low / 32 : -((31 - low) / 32);
  const int s = low - 32 * q;
  const uint64_t v = word_at(w, n, q) | static_cast<uint64_t>(word_at(w, n, q + 1)) << 32;
  const uint64_t mask = count == 32 ? 0xFFFFFFFFu : (uint64_t{1} << count) - 1;
  return static_cast<uint32_t>((v >> s) & mask);
}

// Bits [low, low + count) for count <= 64.
uint64_t bits64_at(const uint32_t* w, int n, int low, int count) {
  if (count <= 32) return bits_at(w, n, low, count);
  return bits_at(w, n, low, 32) | static_cast<uint64_t>(bits_at(w, n, low + 32, count - 32)) << 32;
}

// Number of significant bits of w[0..n), 0 for zero.
int bit_length(const uint32_t* w, int n) {
  for (int i = n - 1; i >= 0; --i) {
    if (w[i] != 0) {
      int b = 0;
      while (b < 32 && (w[i] >> b) != 0) ++b;
      return 32 * i + b;
    }
  }
  return 0;
}

// ---- 384-bit fixed point ---------------------------------------------------------------

constexpr int kFracWords = 12;
constexpr int kFixWords = kFracWords + 1;
constexpr int kFracBits = 32 * kFracWords;

// A nonnegative value sum w[i] 2^(32 i - 384): w[0..11] the fraction, w[12] the integer part.
struct Fix {
  std::array<uint32_t, kFixWords> w{};
};

Fix fix_integer(uint32_t v) {
  Fix f;
  f.w[kFracWords] = v;
  return f;
}

Fix fix_add(const Fix& a, const Fix& b) {
  Fix r;
  uint64_t carry = 0;
  for (int i = 0; i < kFixWords; ++i) {
    const uint64_t t = uint64_t{a.w[i]} + b.w[i] + carry;
    r.w[i] = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  return r;
}

// a - b for a >= b.
Fix fix_sub(const Fix& a, const Fix& b) {
  Fix r;
  uint64_t borrow = 0;
  for (int i = 0; i < kFixWords; ++i) {
    const uint64_t t = uint64_t{a.w[i]} - b.w[i] - borrow;
    r.w[i] = static_cast<uint32_t>(t);
    borrow = (t >> 32) & 1;
  }
  return r;
}

// a * b truncated to 384 fraction bits (error below 2^-384); the integer part of the
// product must fit one word.
Fix fix_mul(const Fix& a, const Fix& b) {
  uint32_t p[2 * kFixWords] = {};
  for (int i = 0; i < kFixWords; ++i) {
    uint64_t carry = 0;
    for (int j = 0; j < kFixWords; ++j) {
      const uint64_t t = uint64_t{a.w[i]} * b.w[j] + p[i + j] + carry;
      p[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    p[i + kFixWords] = static_cast<uint32_t>(carry);
  }
  Fix r;
  for (int i = 0; i < kFixWords; ++i) r.w[i] = p[i + kFracWords];
  return r;
}

// a / d truncated (error below 2^-384).
Fix fix_div_small(const Fix& a, uint32_t d) {
  Fix q;
  uint64_t rem = 0;
  for (int i = kFixWords - 1; i >= 0; --i) {
    const uint64_t cur = rem << 32 | a.w[i];
    q.w[i] = static_cast<uint32_t>(cur / d);
    rem = cur % d;
  }
  return q;
}

bool fix_is_zero(const Fix& a) {
  for (uint32_t v : a.w)
    if (v != 0) return false;
  return true;
}

// x exactly, for 2^-33 <= x < 2^32 (its lowest bit is then at or above 2^-86).
Fix fix_from_double(double x) {
  int e = 0;
  const double f = std::frexp(x, &e);
  const uint64_t m = static_cast<uint64_t>(std::ldexp(f, 53));  // x = m 2^(e - 53)
  const int pos = e - 53 + kFracBits;                             // bit position of m's unit
  Fix r;
  const int q = pos / 32;
  const int s = pos % 32;
  const uint64_t low = m << s;  // m < 2^53, s < 32: the top part is taken separately
  const uint32_t top = s == 0 ? 0 : static_cast<uint32_t>(m >> (64 - s));
  if (q < kFixWords) r.w[q] = static_cast<uint32_t>(low);
  if (q + 1 < kFixWords) r.w[q + 1] = static_cast<uint32_t>(low >> 32);
  if (q + 2 < kFixWords) r.w[q + 2] = top;
  return r;
}

// The leading 106 bits of a nonzero a as a double-double (truncated: relative error below
// 2^-105).
DoubleDouble fix_to_dd(const Fix& a) {
  const int top = bit_length(a.w.data(), kFixWords) - 1;
  const uint64_t hi_bits = bits64_at(a.w.data(), kFixWords, top - 52, 53);
  const uint64_t lo_bits = bits64_at(a.w.data(), kFixWords, top - 105, 53);
  const double hi = std::ldexp(static_cast<double>(hi_bits), top - 52 - kFracBits);
  const double lo = std::ldexp(static_cast<double>(lo_bits), top - 105 - kFracBits);
  return dd::quick_two_sum(hi, lo);
}

// ---- Argument reduction -----------------------------------------------------------------

// |x| = quadrant pi/2 + rho (mod 2 pi), rho = +-r with 0 <= r <= pi/4.
struct Reduced {
  Fix r;
  unsigned quadrant = 0;
  bool rho_negative = false;
};

constexpr double kPiOverFourBelow = 0x1.921fb54442d18p-1;  // the double nearest pi/4, below it

Reduced reduce(double ax) {
  Reduced out;
  if (ax <= kPiOverFourBelow) {
    out.r = fix_from_double(ax);
    return out;
  }
  int e = 0;
  const double f = std::frexp(ax, &e);
  const uint64_t m = static_cast<uint64_t>(std::ldexp(f, 53));
  const int e2 = e - 53;                           // ax = m 2^e2
  const int i0 = e2 >= 2 ? (e2 - 2) / 32 : 0;      // first word that matters mod 4
  constexpr int kWindow = 16;
  uint32_t window[kWindow];
  for (int j = 0; j < kWindow; ++j) window[j] = trig64_detail::kTwoOverPi[i0 + kWindow - 1 - j];

  // product = m * window, exactly (18 words).
  constexpr int kProductWords = kWindow + 2;
  uint32_t product[kProductWords] = {};
  const uint32_t mw[2] = {static_cast<uint32_t>(m), static_cast<uint32_t>(m >> 32)};
  for (int i = 0; i < 2; ++i) {
    uint64_t carry = 0;
    for (int j = 0; j < kWindow; ++j) {
      const uint64_t t = uint64_t{mw[i]} * window[j] + product[i + j] + carry;
      product[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    product[i + kWindow] = static_cast<uint32_t>(carry);
  }
  const int point = 32 * (i0 + kWindow) - e2;  // position of the binary point, 479..565
  unsigned n = bits_at(product, kProductWords, point, 2);
  Fix frac;
  for (int j = 0; j < kFracWords; ++j)
    frac.w[j] = bits_at(product, kProductWords, point - 32 * (kFracWords - j), 32);
  if (frac.w[kFracWords - 1] & 0x80000000u) {  // f >= 1/2: rho = (f - 1) pi/2
    n += 1;
    frac = fix_sub(fix_integer(1), frac);
    out.rho_negative = true;
  }
  Fix pio2;
  for (int j = 0; j < kFixWords; ++j) pio2.w[j] = trig64_detail::kPiOverTwo[kFixWords - 1 - j];
  out.r = fix_mul(frac, pio2);
  out.quadrant = n & 3;
  return out;
}

// Which function of r the result is, and its sign.
enum class Kernel { sin, cos, tan, cot };

struct Composition {
  Kernel kernel;
  bool negative;
};

Composition compose(TrigFunction f, const Reduced& red, bool x_negative) {
  const unsigned q = red.quadrant;
  const bool odd = (q & 1) != 0;
  Composition c{Kernel::sin, false};
  switch (f) {
    case TrigFunction::sin:  // sin, cos, -sin, -cos of rho
      c.kernel = odd ? Kernel::cos : Kernel::sin;
      c.negative = q >= 2;
      if (c.kernel == Kernel::sin && red.rho_negative) c.negative = !c.negative;
      if (x_negative) c.negative = !c.negative;
      break;
    case TrigFunction::cos:  // cos, -sin, -cos, sin of rho; even in x
      c.kernel = odd ? Kernel::sin : Kernel::cos;
      c.negative = q == 1 || q == 2;
      if (c.kernel == Kernel::sin && red.rho_negative) c.negative = !c.negative;
      break;
    case TrigFunction::tan:  // tan, -cot of rho; odd in x and in rho
      c.kernel = odd ? Kernel::cot : Kernel::tan;
      c.negative = odd != red.rho_negative;
      if (x_negative) c.negative = !c.negative;
      break;
  }
  return c;
}

// ---- Fast path: double-double series -----------------------------------------------------

constexpr int kSeriesTerms = 15;

// 1/n! for n = 0..29 as double-doubles, each part rounded to nearest (generated with MPFR).
constexpr DoubleDouble kInverseFactorial[30] = {
    {0x1p+0, 0x0p+0},  // 1/0!
    {0x1p+0, 0x0p+0},  // 1/1!
    {0x1p-1, 0x0p+0},  // 1/2!
    {0x1.5555555555555p-3, 0x1.5555555555555p-57},  // 1/3!
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},  // 1/4!
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},  // 1/5!
    {0x1.6c16c16c16c17p-10, -0x1.f49f49f49f49fp-65},  // 1/6!
    {0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-73},  // 1/7!
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},  // 1/8!
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6cp-73},  // 1/9!
    {0x1.27e4fb7789f5cp-22, 0x1.cbbc05b4fa99ap-76},  // 1/10!
    {0x1.ae64567f544e4p-26, -0x1.c062e06d1f209p-80},  // 1/11!
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},  // 1/12!
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},  // 1/13!
    {0x1.93974a8c07c9dp-37, 0x1.05d6f8a2efd1fp-92},  // 1/14!
    {0x1.ae7f3e733b81fp-41, 0x1.1d8656b0ee8cbp-97},  // 1/15!
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},  // 1/16!
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},  // 1/17!
    {0x1.6827863b97d97p-53, 0x1.eec01221a8b0bp-107},  // 1/18!
    {0x1.2f49b46814157p-57, 0x1.2650f61dbdcb4p-112},  // 1/19!
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},  // 1/20!
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},  // 1/21!
    {0x1.0ce396db7f853p-70, -0x1.aebcdbd20331cp-124},  // 1/22!
    {0x1.761b41316381ap-75, -0x1.3423c7d91404fp-130},  // 1/23!
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},  // 1/24!
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},  // 1/25!
    {0x1.88e85fc6a4e5ap-89, -0x1.71c37ebd1654p-143},  // 1/26!
    {0x1.d1ab1c2dccea3p-94, 0x1.054d0c78aea14p-149},  // 1/27!
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153},  // 1/28!
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157},  // 1/29!
};

// sin r for 0 < r <= pi/4: r times the sum of (-1)^k z^k / (2k+1)!, z = r^2, k = 0..14,
// by Horner's rule.
DoubleDouble dd_sin(DoubleDouble r) {
  const DoubleDouble z = dd::mul(r, r);
  DoubleDouble p = kInverseFactorial[2 * kSeriesTerms - 1];  // k = 14: positive
  for (int k = kSeriesTerms - 2; k >= 0; --k) {
    const DoubleDouble c = kInverseFactorial[2 * k + 1];
    p = dd::add(dd::mul(p, z), (k & 1) != 0 ? dd::neg(c) : c);
  }
  return dd::mul(r, p);
}

// cos r for 0 <= r <= pi/4: the sum of (-1)^k z^k / (2k)!, z = r^2, k = 0..14.
DoubleDouble dd_cos(DoubleDouble r) {
  const DoubleDouble z = dd::mul(r, r);
  DoubleDouble p = kInverseFactorial[2 * kSeriesTerms - 2];
  for (int k = kSeriesTerms - 2; k >= 0; --k) {
    const DoubleDouble c = kInverseFactorial[2 * k];
    p = dd::add(dd::mul(p, z), (k & 1) != 0 ? dd::neg(c) : c);
  }
  return p;
}

// The positive value kernel(r) in double-double.
DoubleDouble dd_kernel(Kernel kernel, const Fix& r) {
  const DoubleDouble rd = fix_to_dd(r);
  switch (kernel) {
    case Kernel::sin: return dd_sin(rd);
    case Kernel::cos: return dd_cos(rd);
    case Kernel::tan: return dd::div(dd_sin(rd), dd_cos(rd));
    case Kernel::cot: return dd::div(dd_cos(rd), dd_sin(rd));
  }
  return {0.0, 0.0};
}

// Rounds y > 0, known to within err of the exact value, to 64 bits; false when a 64-bit
// midpoint lies within err of y (or at a power of two, where the spacing changes, too close
// to the lower binade's midpoint).
bool round_dd_to_64(DoubleDouble y, double err, Ext64& out) {
  int e = std::ilogb(y.hi);  // y.hi in [2^e, 2^(e+1))
  const bool power_of_two = y.hi == std::ldexp(1.0, e);
  if (power_of_two && y.lo < 0) {
    e -= 1;  // y lies in the binade below
  } else if (power_of_two && !(y.lo + std::ldexp(1.0, e - 65) > err)) {
    return false;  // the first midpoint below 2^e is 2^e - 2^(e-65)
  }
  const double u = std::ldexp(1.0, e - 63);  // 64-bit spacing at y
  const double t = y.lo / u;                 // exact: a power-of-two scaling, |t| <= 2^11
  const double n = std::round(t);
  const double dist = std::fabs(t - n);      // exact: n == 0 or n and t within a factor 2
  if (!((0.5 - dist) * u > err)) return false;
  const DoubleDouble v = dd::two_sum(y.hi, n * u);  // y.hi + n u has 64 bits: exact pair
  out = {v.hi, v.lo};
  return true;
}

// ---- Slow path: 384-bit fixed point ------------------------------------------------------

// sin r for 0 < r <= pi/4: each term is the previous one times r^2 divided by a small
// integer, each step truncated (below 2 * 2^-384); with r and r^2 in error by less than
// 2^-380, the sum of about 40 terms errs by less than 2^-372.
Fix fix_sin(const Fix& r) {
  const Fix r2 = fix_mul(r, r);
  Fix sum = r;
  Fix term = r;
  for (uint32_t k = 1; !fix_is_zero(term); ++k) {
    term = fix_div_small(fix_mul(term, r2), (2 * k) * (2 * k + 1));
    sum = (k & 1) != 0 ? fix_sub(sum, term) : fix_add(sum, term);
  }
  return sum;
}

Fix fix_cos(const Fix& r) {
  const Fix r2 = fix_mul(r, r);
  Fix sum = fix_integer(1);
  Fix term = sum;
  for (uint32_t k = 1; !fix_is_zero(term); ++k) {
    term = fix_div_small(fix_mul(term, r2), (2 * k - 1) * (2 * k));
    sum = (k & 1) != 0 ? fix_sub(sum, term) : fix_add(sum, term);
  }
  return sum;
}

// Natural numbers as little-endian 32-bit words.
using Nat = std::vector<uint32_t>;

Nat nat_from_fix(const Fix& a) { return Nat(a.w.begin(), a.w.end()); }

Nat nat_add(const Nat& a, const Nat& b) {
  const size_t n = std::max(a.size(), b.size()) + 1;
  Nat r(n);
  uint64_t carry = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint64_t t = uint64_t{i < a.size() ? a[i] : 0u} + (i < b.size() ? b[i] : 0u) + carry;
    r[i] = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  return r;
}

// a - b for a >= b.
Nat nat_sub(const Nat& a, const Nat& b) {
  Nat r(a.size());
  uint64_t borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    const uint64_t t = uint64_t{a[i]} - (i < b.size() ? b[i] : 0u) - borrow;
    r[i] = static_cast<uint32_t>(t);
    borrow = (t >> 32) & 1;
  }
  return r;
}

int nat_bits(const Nat& a) { return bit_length(a.data(), static_cast<int>(a.size())); }

Nat nat_shr(const Nat& a, int shift) {
  const int bits = nat_bits(a) - shift;
  Nat r(bits > 0 ? (bits + 31) / 32 : 0);
  for (size_t i = 0; i < r.size(); ++i)
    r[i] = bits_at(a.data(), static_cast<int>(a.size()), shift + 32 * static_cast<int>(i), 32);
  return r;
}

// floor(a 2^shift / b) for b > 0, by restoring long division, one bit at a time.
Nat nat_div_shifted(const Nat& a, int shift, const Nat& b) {
  const int total = nat_bits(a) + shift;
  Nat q((total + 31) / 32 + 1, 0);
  Nat rem(b.size() + 1, 0);
  const int b_words = static_cast<int>(b.size());
  for (int i = total - 1; i >= 0; --i) {
    // rem = 2 rem + bit i of a 2^shift
    uint32_t carry = i >= shift ? bits_at(a.data(), static_cast<int>(a.size()), i - shift, 1) : 0;
    for (uint32_t& w : rem) {
      const uint32_t next = w >> 31;
      w = w << 1 | carry;
      carry = next;
    }
    // rem >= b ?
    bool ge = true;
    for (int j = static_cast<int>(rem.size()) - 1; j >= 0; --j) {
      const uint32_t bj = word_at(b.data(), b_words, j);
      if (rem[j] != bj) {
        ge = rem[j] > bj;
        break;
      }
    }
    if (ge) {
      uint64_t borrow = 0;
      for (size_t j = 0; j < rem.size(); ++j) {
        const uint64_t t = uint64_t{rem[j]} - word_at(b.data(), b_words, static_cast<int>(j)) - borrow;
        rem[j] = static_cast<uint32_t>(t);
        borrow = (t >> 32) & 1;
      }
      q[i / 32] |= uint32_t{1} << (i % 32);
    }
  }
  return q;
}

// q 2^exponent rounded to 64 bits: significand with its top bit set, and its exponent.
struct Rounded64 {
  uint64_t significand;
  int exponent;
  bool operator==(const Rounded64& o) const {
    return significand == o.significand && exponent == o.exponent;
  }
};

Rounded64 round_nat_to_64(const Nat& q, int exponent) {
  const int n = static_cast<int>(q.size());
  const int bits = nat_bits(q);
  if (bits <= 64) {
    const uint64_t v = bits64_at(q.data(), n, 0, 64);
    return {bits == 0 ? 0 : v << (64 - bits), exponent - (64 - bits)};
  }
  int shift = bits - 64;
  uint64_t sig = bits64_at(q.data(), n, shift, 64);
  const bool half = bits_at(q.data(), n, shift - 1, 1) != 0;
  bool sticky = false;
  for (int i = 0; i < shift - 1 && !sticky; i += 32)
    sticky = bits_at(q.data(), n, i, std::min(32, shift - 1 - i)) != 0;
  if (half && (sticky || (sig & 1) != 0)) {
    sig += 1;
    if (sig == 0) {  // carried out of the 64 bits
      sig = uint64_t{1} << 63;
      shift += 1;
    }
  }
  return {sig, exponent + shift};
}

Ext64 ext64_from(Rounded64 r, bool negative) {
  const double high = std::ldexp(static_cast<double>(r.significand & ~uint64_t{0x7FF}), r.exponent);
  const double low = std::ldexp(static_cast<double>(r.significand & 0x7FF), r.exponent);
  const DoubleDouble v = dd::two_sum(high, low);
  return negative ? Ext64{-v.hi, -v.lo} : Ext64{v.hi, v.lo};
}

Ext64 slow_kernel(Kernel kernel, const Fix& r, bool negative) {
  Nat q;
  Nat err;
  int exponent = -kFracBits;
  if (kernel == Kernel::sin || kernel == Kernel::cos) {
    q = nat_from_fix(kernel == Kernel::sin ? fix_sin(r) : fix_cos(r));
    err = Nat{uint32_t{1} << 16};  // 2^-368 in units of 2^-384
  } else {
    const Nat s = nat_from_fix(fix_sin(r));
    const Nat c = nat_from_fix(fix_cos(r));
    const Nat& num = kernel == Kernel::tan ? s : c;
    const Nat& den = kernel == Kernel::tan ? c : s;
    constexpr int kShift = 448;
    q = nat_div_shifted(num, kShift, den);
    exponent = -kShift;
    // Relative error: that of num plus that of den (each below 2^16 / 2^(bits - 1)), plus
    // the truncation of the division (one unit).
    err = nat_add(nat_add(nat_shr(q, nat_bits(num) - 17), nat_shr(q, nat_bits(den) - 17)),
                  Nat{3});
  }
  const Rounded64 low = round_nat_to_64(nat_sub(q, err), exponent);
  const Rounded64 high = round_nat_to_64(nat_add(q, err), exponent);
  // Decided when both ends round alike; otherwise (never observed) the nearest of q.
  return ext64_from(low == high ? low : round_nat_to_64(q, exponent), negative);
}

}  // namespace

namespace trig64_detail {

dd::DoubleDouble approx(TrigFunction f, double x) {
  const Reduced red = reduce(std::fabs(x));
  const Composition c = compose(f, red, std::signbit(x));
  const DoubleDouble y = dd_kernel(c.kernel, red.r);
  return c.negative ? dd::neg(y) : y;
}

bool fast(TrigFunction f, double x, Ext64& out) {
  const Reduced red = reduce(std::fabs(x));
  const Composition c = compose(f, red, std::signbit(x));
  const DoubleDouble y = dd_kernel(c.kernel, red.r);
  if (!round_dd_to_64(y, y.hi * kFastRelativeError, out)) return false;
  if (c.negative) out = {-out.hi, -out.lo};
  return true;
}

Ext64 slow(TrigFunction f, double x) {
  const Reduced red = reduce(std::fabs(x));
  const Composition c = compose(f, red, std::signbit(x));
  return slow_kernel(c.kernel, red.r, c.negative);
}

}  // namespace trig64_detail

Ext64 trig64(TrigFunction f, double x) {
  if (!std::isfinite(x)) return {std::numeric_limits<double>::quiet_NaN(), 0.0};
  if (std::fabs(x) < 0x1p-33) {
    if (f == TrigFunction::cos) return {1.0, 0.0};
    return {x, 0.0};
  }
  Ext64 out{};
  if (trig64_detail::fast(f, x, out)) return out;
  return trig64_detail::slow(f, x);
}

}  // namespace strma::calc
