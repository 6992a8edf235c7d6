// Sine, cosine and tangent of a double radian value, correctly rounded to a 64-bit
// significand (round to nearest, ties to even), with the same bits on every IEEE 754
// platform: only double arithmetic, std::fma, std::ldexp, std::frexp and integer arithmetic.
#pragma once

#include <cstdint>

#include "calc/double_double.h"
#include "calc/ext64.h"

namespace strma::calc {

enum class TrigFunction { sin, cos, tan };

// f(x) for any finite x, rounded once to 64 significant bits and held exactly as hi + lo.
// sin and tan keep the sign of a zero argument; a non-finite x gives a NaN (the callers
// report it before getting here).
Ext64 trig64(TrigFunction f, double x);

inline Ext64 sin64(double x) { return trig64(TrigFunction::sin, x); }
inline Ext64 cos64(double x) { return trig64(TrigFunction::cos, x); }
inline Ext64 tan64(double x) { return trig64(TrigFunction::tan, x); }

// The two evaluation paths of trig64, visible for the accuracy tests.
namespace trig64_detail {

// Relative error bound of the double-double approximation (see trig64.cpp).
constexpr double kFastRelativeError = 0x1p-95;

// The double-double approximation of f(x), |x| >= 2^-33, finite.
dd::DoubleDouble approx(TrigFunction f, double x);

// The fast path: true and the correctly rounded result when the double-double
// approximation and its error bound decide the rounding, false otherwise.
bool fast(TrigFunction f, double x, Ext64& out);

// The slow path: the same function in 384-bit fixed point.
Ext64 slow(TrigFunction f, double x);

// 2/pi as 48 32-bit words after the binary point, most significant first (1536 bits).
extern const std::uint32_t kTwoOverPi[48];
// pi/2: the integer part 1 followed by 12 fraction words, most significant first.
extern const std::uint32_t kPiOverTwo[13];

}  // namespace trig64_detail
}  // namespace strma::calc
