// Why a free-form read failed.
#pragma once

#include <cstdint>

namespace strma::recio {

// Why a read failed. The value is the report number (class READ, letter F), except for
// value_too_long, a second cause of F6103 with a message of its own; read_error_number gives
// the report number of every value.
enum class ReadError : std::uint16_t {
  none = 0,
  count_too_large = 6100,       // repeat count above 2147483647, or beyond 32 bits in a radix
  count_bad_character = 6101,   // repeat count with a character not allowed, or a digit >= radix
  too_large_for_double = 6102,  // value too large for double precision
  not_a_number = 6103,          // value text not of the number form
  beyond_single_range = 6104,   // value beyond the single-precision range
  count_second_radix = 6302,    // repeat count with a second "#"
  count_bad_radix = 6303,       // repeat count radix outside 2 to 36
  line_too_long = 6407,         // interactive line that does not fit in the 132-byte block
  read_failed = 6500,           // reading standard input failed
  end_of_input = 6501,          // end of input, or a Ctrl-Z line end
  count_zero = 6502,            // repeat count of zero, or empty
  count_repeated = 6503,        // a second repeat count for the same value
  constant_not_number = 6504,   // parenthesised or quoted constant with content
  value_too_long = 16103,       // reported as F6103: a value text longer than 260 characters
};

// The report number of a read failure (6103 for value_too_long).
constexpr int read_error_number(ReadError error) {
  return error == ReadError::value_too_long ? 6103 : static_cast<int>(error);
}

// The message text of a read failure's report.
const char* read_error_message(ReadError error);

}  // namespace strma::recio
