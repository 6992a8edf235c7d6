#include "runframe/error_report.h"

#include <cstring>

#include "platform/platform.h"
#include "runframe/run_frame.h"

namespace strma::runframe {
namespace {

void put(const char* text) {
  platform::write_standard(platform::StdStream::error, text, std::strlen(text));
}

const char* class_text(ReportClass report_class) {
  switch (report_class) {
    case ReportClass::open: return ": OPEN(";
    case ReportClass::read: return ": READ(";
    case ReportClass::write: return ": WRITE(";
    case ReportClass::close: return ": CLOSE(";
    case ReportClass::math: return ": MATH\r\n- ";
    case ReportClass::general: return "\r\n- ";
  }
  return "";
}

bool shows_name(ReportClass report_class) {
  return report_class != ReportClass::math && report_class != ReportClass::general;
}

}  // namespace

void report_run_time_error(ReportClass report_class, int number, const char* name,
                           const char* message) {
  char code[6] = {report_class == ReportClass::math ? 'M' : 'F',
                  static_cast<char>('0' + number / 1000 % 10),
                  static_cast<char>('0' + number / 100 % 10),
                  static_cast<char>('0' + number / 10 % 10), static_cast<char>('0' + number % 10),
                  '\0'};
  put("\r\n");
  put("run-time error ");
  put(code);
  put(class_text(report_class));
  if (shows_name(report_class)) {
    put(name);
    put(*message != '\0' ? ")\r\n- " : ")\r\n");
  }
  put(message);
  put("\r\n");
  if (end_of_run_under_way()) {
    fail_end_of_run();
    return;
  }
  end_run(1);
}

}  // namespace strma::runframe
