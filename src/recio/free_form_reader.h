// Reading the two input values: the free-form read of the angle and the height.
#pragma once

#include <cstddef>
#include <cstdint>

namespace strma::recio {

// Where the reader's bytes come from: standard input in the program, bytes in the tests.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // One raw read of up to `size` bytes: the count, 0 at end of input, -1 when it failed.
  virtual long read(unsigned char* buffer, std::size_t size) = 0;
  // True for an interactive device, which delivers one typed line per read.
  virtual bool interactive() const = 0;
};

// Why a read failed; the value is the report number (class READ, letter F).
enum class ReadError : std::uint16_t {
  none = 0,
  count_too_large = 6100,       // repeat count above 2147483647, or beyond 32 bits in a radix
  count_bad_character = 6101,   // repeat count with a character not allowed, or a digit >= radix
  too_large_for_double = 6102,  // value too large for double precision
  not_a_number = 6103,          // value text not of the number form, or longer than 260 characters
  beyond_single_range = 6104,   // value beyond the single-precision range
  count_second_radix = 6302,    // repeat count with a second "#"
  count_bad_radix = 6303,       // repeat count radix outside 2 to 36
  line_too_long = 6407,         // interactive line that does not fit in the 132-byte block
  read_failed = 6500,           // reading standard input failed
  end_of_input = 6501,          // end of input, or a Ctrl-Z line end
  count_zero = 6502,            // repeat count of zero, or empty
  count_repeated = 6503,        // a second repeat count for the same value
  constant_not_number = 6504,   // parenthesised or quoted constant with content
};

// The message text of a read failure's report.
const char* read_error_message(ReadError error);

// One free-form read into two single-precision targets, `first` then `second`; a target that
// receives a null value, or that the read does not reach, keeps its value. `line_open` is the
// console_line_open flag of the connection read from: it is cleared each time the read has
// passed an input line.
ReadError read_two_values(InputSource& input, float& first, float& second, bool& line_open);

// The program's read: writes the line end owed on the console connection it reads from, then
// reads `angle_deg` and `height_m` from standard input. A failure ends the run with a READ
// report on "CON".
void read_angle_height(float& angle_deg, float& height_m);

}  // namespace strma::recio
