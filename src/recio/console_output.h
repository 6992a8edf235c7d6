// Console output records: the console mode, the console connections and the line end that
// a console record owes.
#pragma once

namespace strma::recio {

// A console connection. In a shared console (standard input and standard output both
// character devices) one connection serves reading and writing; otherwise there are two.
struct ConsoleConnection {
  const char* name;        // "CON", the name reports show
  bool console_line_open;  // the line end of the last console record may still be owed
};

// Creates the console connections for the console mode; called once at start-up.
void create_console_connections(bool shared_console);

bool shared_console();
ConsoleConnection& console_output_connection();
ConsoleConnection& console_input_connection();

// Writes one free-form record of `text` to standard output: the blank line-control character
// is consumed (a line end first if one is owed), the text goes out in one write, and its line
// end is owed. A full device (F6422) or refused access (F6421) ends the run with a WRITE report
// on "CON"; other failures are ignored.
void write_console_record(const char* text);

// Writes the owed line end (CR LF) of `connection`, if any; the flag is left as it is.
void end_console_line(const ConsoleConnection& connection);

}  // namespace strma::recio
