// The free-form read through the real executable: input through a pipe and through a
// terminal, the READ reports on standard error, and the prompt's line ends in a shared console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_harness.h"

namespace {

using strma_test::kPrompt;
using strma_test::RunOptions;
using strma_test::RunResult;
using strma_test::Stream;
using strma_test::TempDir;

const std::string kLineEnd = "\r\n";

std::string read_report(const std::string& number, const std::string& message) {
  return "\r\nrun-time error F" + number + ": READ(CON)\r\n- " + message + "\r\n";
}

// The angle and height fields of the result record ("   30.00", "   45.00").
std::string angle_field(const std::string& record) { return record.substr(30, 8); }
std::string height_field(const std::string& record) { return record.substr(54, 8); }

RunResult run(const TempDir& dir, Stream in, Stream out, std::vector<std::string> input,
              int pause_ms = 0) {
  RunOptions options;
  options.in = in;
  options.out = out;
  options.input = std::move(input);
  options.pause_ms = pause_ms;
  return strma_test::run_strma(dir, options);
}

struct Case {
  std::string input;
  std::string angle;   // the record's fields when the read succeeds
  std::string height;
  std::string report;  // the whole of standard error when it fails
};

const Case kCases[] = {
    {"30 45\n", "   30.00", "   45.00", ""},
    {"\r\n \t\r\n30\r\n,45\r\n", "   30.00", "   45.00", ""},
    {"2*45\n", "   45.00", "   45.00", ""},
    {"1*45 60\n", "   45.00", "   60.00", ""},
    {"30 45", "   30.00", "   45.00", ""},
    {"abc\n", "", "", read_report("6103", "invalid number")},
    {"", "", "", read_report("6501", "end of input")},
    {"30\n", "", "", read_report("6501", "end of input")},
    {"1e39 1\n", "", "", read_report("6104", "value too large for single precision")},
    {"2*3*4\n", "", "", read_report("6503", "second repeat count for one value")},
    {"(30,45)\n", "", "", read_report("6504", "constant of the wrong type")},
    {std::string(300, '1') + "\n", "", "",
     read_report("6103", "value longer than 260 characters")},
};

void expect_case(const Case& c, const RunResult& r, const TempDir& dir) {
  if (c.report.empty()) {
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    const std::string record = dir.read("izlaz.dat");
    ASSERT_EQ(record.size(), 65u);
    EXPECT_EQ(angle_field(record), c.angle);
    EXPECT_EQ(height_field(record), c.height);
  } else {
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, c.report);
  }
}

TEST(ReaderEndToEnd, ThroughAPipe) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.input);
    TempDir dir;
    const RunResult r = run(dir, Stream::pipe, Stream::pipe, {c.input});
    expect_case(c, r, dir);
    EXPECT_EQ(r.out, kPrompt + kLineEnd);  // separate console: the line end at the end
  }
}

// A pipe whose writer sends "30 4", pauses, then "5" reads 45, as if it came in one piece.
TEST(ReaderEndToEnd, SplitPipeWritesReadAsOneLine) {
  for (const std::vector<std::string>& chunks :
       {std::vector<std::string>{"30 4", "5"}, std::vector<std::string>{"30 4", "5\n"},
        std::vector<std::string>{"3", "0 ", "45 ", "60\n"}}) {
    TempDir dir;
    const RunResult r = run(dir, Stream::pipe, Stream::pipe, chunks, 300);
    EXPECT_EQ(r.exit_status, 0);
    const std::string record = dir.read("izlaz.dat");
    ASSERT_EQ(record.size(), 65u);
    EXPECT_EQ(angle_field(record), "   30.00");
    EXPECT_EQ(height_field(record), "   45.00");
  }
}

// A terminal as standard input and output: one console. The read writes the prompt's line
// end before it waits; a failure before the first input line has been passed owes one more
// line end at the end of the run, a failure after it none.
TEST(ReaderEndToEnd, SharedConsoleLineEnds) {
  struct TerminalCase {
    std::string typed;
    std::string out;
    Case expected;
  };
  const std::string one = kPrompt + kLineEnd;
  const std::string two = one + kLineEnd;
  const TerminalCase cases[] = {
      {"30 45\n", one, {"", "   30.00", "   45.00", ""}},
      {"\n30\n45 60\n", one, {"", "   30.00", "   45.00", ""}},
      {"abc 45\n", two, {"", "", "", read_report("6103", "invalid number")}},
      {"abc\n", one, {"", "", "", read_report("6103", "invalid number")}},
      {"\x04", two, {"", "", "", read_report("6501", "end of input")}},
      {std::string(140, '1') + "\n", two, {"", "", "", read_report("6407", "input line too long")}},
      {"30\n1e39 5\n", one,
       {"", "", "", read_report("6104", "value too large for single precision")}},
      {"30\n\x04", one, {"", "", "", read_report("6501", "end of input")}},
  };
  for (const TerminalCase& c : cases) {
    SCOPED_TRACE(c.typed);
    TempDir dir;
    const RunResult r = run(dir, Stream::pty, Stream::pty, {c.typed});
    EXPECT_EQ(r.out_before_input, one);
    EXPECT_EQ(r.out, c.out);
    expect_case(c.expected, r, dir);
  }
}

}  // namespace
