// The text of a plain value and the single-precision number it stands for.
#pragma once

#include <cstddef>

#include "recio/read_error.h"

namespace strma::recio {

// The most significant digits of a mantissa that take part in its value; the digit after
// them rounds the last one (half up), further digits count only toward the magnitude.
constexpr int kSignificantDigits = 24;

// An exponent whose digits give more than this is taken as this plus one.
constexpr int kExponentLimit = 5200;

// Converts the whole of `text` to a single-precision value. The form: an optional sign, a
// mantissa of one or more digits with at most one decimal point, and an optional exponent:
// E, e, D or d with an optional sign, or a bare sign, then one or more digits.
//   not_a_number          any other text
//   too_large_for_double  the value rounded to double would not be finite
//   beyond_single_range   the double's magnitude exceeds 3.402823466385289e38
// Otherwise the double is rounded to single, ties to even; tiny values become subnormal or
// zero with their sign, and no infinity or NaN is ever stored.
ReadError convert_plain_value(const char* text, std::size_t length, float& value);

}  // namespace strma::recio
