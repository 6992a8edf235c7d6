// Run-time error reports: the one way a failed run ends.
#pragma once

namespace strma::runframe {

// What kind of operation failed; decides the letter, the class text and the name part.
enum class ReportClass { open, read, write, close, math, general };

// Writes the report to standard error, one unbuffered write per piece:
//   CR LF "run-time error " letter number class-text [name ")" CR LF "- "] message CR LF
// then ends the run with status 1. Raised while the end of run is already under way, it
// writes the report, marks the run failed and returns to the end-of-run procedure.
// `name` is the connection's name for OPEN, READ, WRITE and CLOSE, ignored otherwise.
void report_run_time_error(ReportClass report_class, int number, const char* name,
                           const char* message);

}  // namespace strma::runframe
