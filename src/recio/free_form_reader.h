// Reading the two input values: the free-form read of the angle and the height.
//
// The read works in stages, each with a header of its own:
//   input_block.h   filling the 132-byte console block from standard input, line ends and
//                   the discarding of the rest of a line
//   repeat_count.h  the text of a repeat count ("3*", "-2*", "16#A*")
//   number_text.h   the text of a plain value and its single-precision value
//   this header     the scanner: separators, null values, slash, repeat counts, parenthesised
//                   and quoted constants, and the two targets
#pragma once

#include <cstddef>
#include <cstdint>

#include "recio/input_block.h"
#include "recio/read_error.h"

namespace strma::recio {

// The most characters one value may hold; a longer one fails with F6103 (value_too_long).
constexpr std::size_t kValueTextLimit = 260;

// What ended the previous value or null value.
enum class Separator : std::uint8_t {
  comma,
  slash,
  blank,  // a blank, a tab, a line end, or the closing parenthesis of a parenthesised value
  other,  // the character taken after the closing mark of a quoted value, when it is none of
          // the above (as the 4 of ''45)
};

enum class ValueForm : std::uint8_t { plain, parenthesised, quoted };

// The scanner state of one read: reset when the read starts, dropped when it ends.
struct FreeFormReader {
  Separator last_separator = Separator::comma;
  std::uint32_t repeats_left = 0;  // further targets that take the current value
  bool after_count = false;        // from a repeat count's asterisk until its value has ended
  char value_text[kValueTextLimit];  // kept after the value so repeats can convert it again
  std::size_t value_length = 0;
  ValueForm value_form = ValueForm::plain;
  bool ended_by_line_end = false;  // the last value scanned was ended by a line end
};

// One free-form read into two single-precision targets, `first` then `second`; a target that
// receives a null value, or that the read does not reach, keeps its value. On failure neither
// target is changed. `line_open` is the console_line_open flag of the connection read from:
// it is cleared each time the read has passed an input line.
ReadError read_two_values(InputSource& input, float& first, float& second, bool& line_open);

// The same with a given input block; the read starts with it empty.
ReadError read_two_values(InputSource& input, InputBlock& block, float& first, float& second,
                          bool& line_open);

// The program's read: writes the line end owed on the console connection it reads from, then
// reads `angle_deg` and `height_m` from standard input. A failure ends the run with a READ
// report on "CON".
void read_angle_height(float& angle_deg, float& height_m);

}  // namespace strma::recio
