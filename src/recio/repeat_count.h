// The text of a repeat count (the characters before the asterisk of "3*45").
#pragma once

#include <cstddef>
#include <cstdint>

#include "recio/read_error.h"

namespace strma::recio {

// Reads a repeat count: an optional "+" or "-", then decimal digits or a radix form b#d (b in
// decimal from 2 to 36, empty or 0 meaning 16; digits 0-9, A-Z, a-z below b). The count is the
// unsigned 32-bit pattern of the signed value, so -2 gives 4294967294. Empty digits give 0.
// Errors, checked character by character before the size:
//   count_bad_character  a character other than those above, or a digit not below b
//   count_second_radix   a second "#"
//   count_bad_radix      b outside 2 to 36 (other than 0)
//   count_too_large      a decimal value above 2147483647 ("-2147483648" is accepted), or a
//                        radix value beyond 32 bits
ReadError read_repeat_count(const char* text, std::size_t length, std::uint32_t& count);

}  // namespace strma::recio
