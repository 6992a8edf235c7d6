// Exact roundings of 64-bit-significand values.
//
// Domain: a = hi + lo with at most 64 significant bits and hi == RN(hi + lo) (what trig64
// and the constants of the program deliver); b any double. Zeros, infinities and NaNs of
// either operand follow the ordinary rules of the product.
//
// Method: the value is turned into an exact integer significand A < 2^64 with a binary
// exponent, b into its integer significand B < 2^53 (std::frexp and std::ldexp only scale by
// powers of two, so both are exact). The product A * B < 2^117 is formed exactly in 32-bit
// pieces, and rounded once, to nearest with ties to even, at the lowest bit the destination
// format keeps at that magnitude: 53 (or 24) bits below the leading one, but never below
// 2^-1074 (2^-149), so subnormal results are rounded once too. The rounded significand has
// at most 53 bits and std::ldexp places it exactly (or overflows to infinity, which is the
// correctly rounded result there).
#include "calc/ext64.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace strma::calc {
namespace {

using std::uint32_t;
using std::uint64_t;

// An unsigned 128-bit integer, portable.
struct U128 {
  uint64_t hi;
  uint64_t lo;
};

U128 mul_64x64(uint64_t a, uint64_t b) {
  const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
  const uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}

int bit_length(U128 v) {
  int n = 0;
  if (v.hi != 0) {
    n = 64;
    for (uint64_t h = v.hi; h != 0; h >>= 1) ++n;
    return n;
  }
  for (uint64_t l = v.lo; l != 0; l >>= 1) ++n;
  return n;
}

// Bit i of v (0 beyond 127).
bool bit(U128 v, int i) {
  if (i >= 128) return false;
  return ((i >= 64 ? v.hi >> (i - 64) : v.lo >> i) & 1) != 0;
}

// v >> s for s >= 0.
U128 shift_right(U128 v, int s) {
  if (s == 0) return v;
  if (s >= 128) return {0, 0};
  if (s >= 64) return {0, v.hi >> (s - 64)};
  return {v.hi >> s, (v.lo >> s) | (v.hi << (64 - s))};
}

// Are bits [0, n) of v all zero? (n <= 128)
bool low_bits_zero(U128 v, int n) {
  if (n <= 0) return true;
  if (n >= 128) return v.hi == 0 && v.lo == 0;
  if (n >= 64) return v.lo == 0 && (n == 64 || (v.hi << (128 - n)) == 0);
  return (v.lo << (64 - n)) == 0;
}

// v 2^exponent (v > 0) rounded once to `precision` bits, ties to even, with no bit kept below
// 2^min_exponent; returned as a double (exact: the result has at most 53 bits).
double round_scaled(U128 v, int exponent, int precision, int min_exponent) {
  const int bits = bit_length(v);
  int lsb = exponent + bits - precision;  // exponent of the lowest kept bit
  if (lsb < min_exponent) lsb = min_exponent;
  const int shift = lsb - exponent;
  if (shift <= 0) return std::ldexp(static_cast<double>(v.lo), exponent);  // v < 2^precision
  if (shift > bits) return 0.0;  // below half the smallest step: rounds to zero
  uint64_t kept = shift_right(v, shift).lo;  // at most `precision` bits
  const bool half = bit(v, shift - 1);
  const bool sticky = !low_bits_zero(v, shift - 1);
  if (half && (sticky || (kept & 1) != 0)) kept += 1;
  return std::ldexp(static_cast<double>(kept), lsb);
}

// |a| as an exact integer significand times a power of two, and the sign of a.
struct Significand {
  uint64_t value;
  int exponent;
  bool negative;
};

// For a finite, nonzero a.hi. The scaling puts |value| in [2^63, 2^64).
Significand significand_of(Ext64 a) {
  int e = 0;
  const double f = std::frexp(std::fabs(a.hi), &e);  // |hi| = f 2^e, f in [1/2, 1)
  const bool negative = std::signbit(a.hi);
  const bool lo_opposite = a.lo != 0 && std::signbit(a.lo) != negative;
  // When hi is a power of two and lo pulls the value into the binade below, one more bit
  // of scaling keeps lo's lowest bit an integer.
  const int scale = 64 - e + (f == 0.5 && lo_opposite ? 1 : 0);
  const double hs = std::ldexp(f, e + scale);  // |hi| 2^scale: 2^63 <= hs <= 2^64
  const uint64_t h = hs >= 0x1p64 ? 0 : static_cast<uint64_t>(hs);  // 2^64 wraps to 0
  const uint64_t l = static_cast<uint64_t>(std::ldexp(std::fabs(a.lo), scale));  // < 2^12
  // The sum is below 2^64 (hi is the value rounded to double), so the wrap above cancels.
  return {lo_opposite ? h - l : h + l, -scale, negative};
}

}  // namespace

double mul_to_double(Ext64 a, double b) {
  if (a.hi == 0 || b == 0 || !std::isfinite(a.hi) || !std::isfinite(b)) return a.hi * b;
  const Significand s = significand_of(a);
  int eb = 0;
  const double fb = std::frexp(std::fabs(b), &eb);
  const uint64_t mb = static_cast<uint64_t>(std::ldexp(fb, 53));  // |b| = mb 2^(eb - 53)
  const U128 product = mul_64x64(s.value, mb);
  const double magnitude = round_scaled(product, s.exponent + eb - 53, 53, -1074);
  return s.negative != std::signbit(b) ? -magnitude : magnitude;
}

float round_to_float(Ext64 a) {
  if (a.hi == 0 || !std::isfinite(a.hi)) return static_cast<float>(a.hi);
  const Significand s = significand_of(a);
  const double magnitude = round_scaled(U128{0, s.value}, s.exponent, 24, -149);
  // magnitude is a single value or 2^128 and beyond, which overflows to infinity.
  const float f = magnitude >= 0x1p128 ? std::numeric_limits<float>::infinity()
                                       : static_cast<float>(magnitude);
  return s.negative ? -f : f;
}

}  // namespace strma::calc
