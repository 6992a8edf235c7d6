// The program's read: the free-form reader bound to standard input and the console.
#include "platform/platform.h"
#include "recio/console_output.h"
#include "recio/free_form_reader.h"
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

// The console's input block: it belongs to the console for the whole run.
InputBlock input_block{};

}  // namespace

void read_angle_height(float& angle_deg, float& height_m) {
  ConsoleConnection& connection = console_input_connection();
  end_console_line(connection);
  StandardInput input;
  const ReadError error =
      read_two_values(input, input_block, angle_deg, height_m, connection.console_line_open);
  if (error != ReadError::none)
    runframe::report_run_time_error(runframe::ReportClass::read, read_error_number(error),
                                    connection.name, read_error_message(error));
}

}  // namespace strma::recio
