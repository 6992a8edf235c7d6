#include "recio/console_output.h"

#include <cstring>

#include "platform/platform.h"
#include "runframe/error_report.h"

namespace strma::recio {
namespace {

ConsoleConnection connections[2] = {{"CON", false}, {"CON", false}};
bool is_shared = false;
constexpr char kLineEnd[] = "\r\n";

}  // namespace

void create_console_connections(bool shared_console) {
  is_shared = shared_console;
  connections[0] = {"CON", false};
  connections[1] = {"CON", false};
}

bool shared_console() { return is_shared; }

ConsoleConnection& console_output_connection() { return connections[0]; }

ConsoleConnection& console_input_connection() { return connections[is_shared ? 0 : 1]; }

void end_console_line(const ConsoleConnection& connection) {
  if (connection.console_line_open)
    platform::write_standard(platform::StdStream::output, kLineEnd, 2);
}

void write_console_record(const char* text) {
  ConsoleConnection& out = console_output_connection();
  end_console_line(out);  // the blank line-control character
  const platform::WriteResult written =
      platform::write_standard(platform::StdStream::output, text, std::strlen(text));
  if (written.error == platform::OsError::no_space)
    runframe::report_run_time_error(runframe::ReportClass::write, 6422, out.name,
                                    "no space left on device");
  if (written.error == platform::OsError::access_denied)
    runframe::report_run_time_error(runframe::ReportClass::write, 6421, out.name,
                                    "permission to write denied");
  out.console_line_open = true;
}

}  // namespace strma::recio
