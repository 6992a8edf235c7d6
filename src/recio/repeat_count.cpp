#include "recio/repeat_count.h"

namespace strma::recio {
namespace {

constexpr std::uint64_t kBeyond32Bits = std::uint64_t{1} << 32;

unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A') + 10;
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a') + 10;
  return 99;
}

}  // namespace

ReadError read_repeat_count(const char* text, std::size_t length, std::uint32_t& count) {
  std::size_t i = 0;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  bool radix_form = false;
  std::uint64_t radix = 10;
  std::uint64_t value = 0;  // saturates at kBeyond32Bits
  for (; i < length; ++i) {
    const char c = text[i];
    if (c == '#') {
      if (radix_form) return ReadError::count_second_radix;
      if (value != 0 && (value < 2 || value > 36)) return ReadError::count_bad_radix;
      radix = value == 0 ? 16 : value;
      radix_form = true;
      value = 0;
      continue;
    }
    const unsigned digit = digit_value(c);
    if (digit >= radix) return ReadError::count_bad_character;
    value = value * radix + digit;
    if (value > kBeyond32Bits) value = kBeyond32Bits;
  }

  const std::uint64_t limit =
      radix_form ? kBeyond32Bits - 1 : (negative ? std::uint64_t{2147483648u} : 2147483647u);
  if (value > limit) return ReadError::count_too_large;
  const std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  count = negative ? 0u - magnitude : magnitude;
  return ReadError::none;
}

}  // namespace strma::recio
