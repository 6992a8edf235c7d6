#include "recio/free_form_reader.h"

#include <cstdlib>

#include "platform/platform.h"
#include "recio/console_output.h"
#include "runframe/error_report.h"
#include "runframe/run_frame.h"

namespace strma::recio {
namespace {

// Standard input through the platform; interactive when it is a character device.
class StandardInput final : public InputSource {
 public:
  long read(unsigned char* buffer, std::size_t size) override {
    const platform::ReadResult result = platform::read_standard_input(buffer, size);
    if (result.error != platform::OsError::none) return -1;
    return static_cast<long>(result.count);
  }
  bool interactive() const override {
    return runframe::standard_handle_types().input_is_character_device;
  }
};

}  // namespace

const char* read_error_message(ReadError error) {
  switch (error) {
    case ReadError::none: return "";
    case ReadError::count_too_large: return "repeat count too large";
    case ReadError::count_bad_character: return "invalid character in repeat count";
    case ReadError::too_large_for_double: return "value too large for double precision";
    case ReadError::not_a_number: return "invalid number";
    case ReadError::beyond_single_range: return "value too large for single precision";
    case ReadError::count_second_radix: return "repeat count with a second radix mark";
    case ReadError::count_bad_radix: return "repeat count radix outside 2 to 36";
    case ReadError::line_too_long: return "input line too long";
    case ReadError::read_failed: return "reading standard input failed";
    case ReadError::end_of_input: return "end of input";
    case ReadError::count_zero: return "repeat count of zero";
    case ReadError::count_repeated: return "second repeat count for one value";
    case ReadError::constant_not_number: return "constant of the wrong type";
  }
  return "";
}

// Placeholder reader: two blank-separated plain numbers.
ReadError read_two_values(InputSource& input, float& first, float& second, bool& line_open) {
  unsigned char block[133];
  long n = input.read(block, 132);
  if (n < 0) return ReadError::read_failed;
  if (n == 0) return ReadError::end_of_input;
  block[n] = 0;
  char* end = nullptr;
  first = std::strtof(reinterpret_cast<char*>(block), &end);
  second = std::strtof(end, nullptr);
  line_open = false;
  return ReadError::none;
}

void read_angle_height(float& angle_deg, float& height_m) {
  ConsoleConnection& connection = console_input_connection();
  end_console_line(connection);
  StandardInput input;
  const ReadError error = read_two_values(input, angle_deg, height_m, connection.console_line_open);
  if (error != ReadError::none)
    runframe::report_run_time_error(runframe::ReportClass::read, static_cast<int>(error),
                                    connection.name, read_error_message(error));
}

}  // namespace strma::recio
