#include "recio/fixed_field.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace strma::recio {

// Method: the single is m * 2^e with an integer significand m < 2^24. Scaled by 10^decimals
// it is m * 10^decimals * 2^e; for e >= 0 that is an integer, for e < 0 the integer part and
// the remainder of a right shift decide the rounding exactly (a remainder of at least half
// rounds away from zero, which is the rule for the halfway case). Magnitudes of 10^12 and
// more, whose text would pass 20 characters, go to the asterisks before any arithmetic.
void format_fixed_field(float value, int width, int decimals, char* out) {
  const bool negative = std::signbit(value);
  const float magnitude = std::fabs(value);

  std::uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;

  char text[24];
  int length = 0;
  bool fits = magnitude < 1e12f;
  if (fits) {
    int exponent = 0;
    const float fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
    const std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    const int e = exponent - 24;  // magnitude = m * 2^e exactly
    std::uint64_t scaled;         // rounded magnitude * 10^decimals
    if (m == 0) {
      scaled = 0;
    } else if (e >= 0) {
      scaled = (m * scale) << e;  // below 10^12 * 10^6 < 2^64
    } else {
      const unsigned __int128 product = static_cast<unsigned __int128>(m) * scale;
      const int shift = -e;
      if (shift >= 64) {
        scaled = 0;  // the product is below 2^44, far below the half 2^(shift-1)
      } else {
        const unsigned __int128 whole = product >> shift;
        const unsigned __int128 rest = product - (whole << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        scaled = static_cast<std::uint64_t>(whole) + (rest >= half ? 1 : 0);
      }
    }
    std::uint64_t integer_part = scaled / scale;
    std::uint64_t fraction_part = scaled % scale;

    if (negative && scaled != 0) text[length++] = '-';
    char digits[24];
    int digit_count = 0;
    while (integer_part > 0) {
      digits[digit_count++] = static_cast<char>('0' + integer_part % 10);
      integer_part /= 10;
    }
    while (digit_count > 0) text[length++] = digits[--digit_count];
    text[length++] = '.';
    for (int i = decimals - 1; i >= 0; --i) {
      text[length + i] = static_cast<char>('0' + fraction_part % 10);
      fraction_part /= 10;
    }
    length += decimals;
    fits = length <= width;
  }

  if (!fits) {
    std::memset(out, '*', static_cast<std::size_t>(width));
    return;
  }
  std::memset(out, ' ', static_cast<std::size_t>(width - length));
  std::memcpy(out + (width - length), text, static_cast<std::size_t>(length));
}

}  // namespace strma::recio
