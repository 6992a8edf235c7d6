#include "recio/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace strma::recio {
namespace {

// The double next above the largest single-precision value 0x1.fffffep127: the largest
// magnitude a value may have before it is rounded to single.
constexpr double kSingleRangeLimit = 0x1.fffffe0000001p127;

// Largest and smallest decimal exponents (of d.ddd x 10^e) that can give a finite non-zero
// double; beyond them the value is too large, or zero.
constexpr int kLargestDoubleExponent = 308;
constexpr int kSmallestDoubleExponent = -330;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The mantissa's significant digits and its decimal exponent: value = d.ddd x 10^exponent.
struct Decimal {
  char digits[kSignificantDigits];
  int digit_count = 0;
  int exponent = 0;
  bool zero = true;
};

}  // namespace

ReadError convert_plain_value(const char* text, std::size_t length, float& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // Mantissa: digits with at most one point.
  Decimal decimal;
  bool seen_point = false;
  int mantissa_digits = 0;
  int digits_before_point = 0;
  int first_significant = -1;  // index among the mantissa digits
  bool round_up = false;
  for (; i < length; ++i) {
    const char c = text[i];
    if (c == '.') {
      if (seen_point) return ReadError::not_a_number;
      seen_point = true;
      continue;
    }
    if (!is_digit(c)) break;
    if (!seen_point) ++digits_before_point;
    if (c != '0' && first_significant < 0) first_significant = mantissa_digits;
    if (first_significant >= 0) {
      if (decimal.digit_count < kSignificantDigits) {
        decimal.digits[decimal.digit_count++] = c;
      } else if (decimal.digit_count == kSignificantDigits &&
                 mantissa_digits == first_significant + kSignificantDigits) {
        round_up = c >= '5';
      }
    }
    ++mantissa_digits;
  }
  if (mantissa_digits == 0) return ReadError::not_a_number;

  // Exponent: E, e, D or d with an optional sign, or a bare sign; then digits.
  int exponent = 0;
  if (i < length) {
    const char c = text[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++i;
    else if (c != '+' && c != '-') return ReadError::not_a_number;
    bool exponent_negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) exponent_negative = text[i++] == '-';
    if (i == length) return ReadError::not_a_number;
    for (; i < length; ++i) {
      if (!is_digit(text[i])) return ReadError::not_a_number;
      if (exponent <= kExponentLimit) exponent = exponent * 10 + (text[i] - '0');
      if (exponent > kExponentLimit) exponent = kExponentLimit + 1;
    }
    if (exponent_negative) exponent = -exponent;
  }

  if (first_significant < 0) {
    value = negative ? -0.0f : 0.0f;
    return ReadError::none;
  }
  decimal.exponent = exponent + digits_before_point - 1 - first_significant;
  if (round_up) {
    int k = decimal.digit_count - 1;
    while (k >= 0 && decimal.digits[k] == '9') decimal.digits[k--] = '0';
    if (k >= 0) {
      ++decimal.digits[k];
    } else {
      decimal.digits[0] = '1';  // 999...9 became 1000...0
      ++decimal.exponent;
    }
  }

  if (decimal.exponent > kLargestDoubleExponent) return ReadError::too_large_for_double;
  double magnitude = 0.0;
  if (decimal.exponent >= kSmallestDoubleExponent) {
    // d.ddd...e<exponent>, correctly rounded to double by the standard library.
    char normalised[kSignificantDigits + 16];
    std::size_t n = 0;
    normalised[n++] = decimal.digits[0];
    normalised[n++] = '.';
    for (int k = 1; k < decimal.digit_count; ++k) normalised[n++] = decimal.digits[k];
    normalised[n++] = 'e';
    const std::to_chars_result written =
        std::to_chars(normalised + n, normalised + sizeof normalised, decimal.exponent);
    const std::from_chars_result read =
        std::from_chars(normalised, written.ptr, magnitude, std::chars_format::scientific);
    if (read.ec == std::errc::result_out_of_range) {
      // Out of range both ways: tell overflow from underflow by the exponent.
      if (decimal.exponent > 0) return ReadError::too_large_for_double;
      magnitude = 0.0;
    } else if (read.ec != std::errc() || read.ptr != written.ptr) {
      return ReadError::not_a_number;  // cannot happen: the text was built above
    }
  }
  if (!std::isfinite(magnitude)) return ReadError::too_large_for_double;
  if (magnitude > kSingleRangeLimit) return ReadError::beyond_single_range;

  const float single = static_cast<float>(magnitude);  // to nearest, ties to even
  value = negative ? -single : single;
  return ReadError::none;
}

}  // namespace strma::recio
