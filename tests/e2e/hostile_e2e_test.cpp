// Runs under hostile conditions: an interrupt while the program waits, many runs racing in one
// directory, standard descriptors closed at the start, endless and binary input. Whatever
// happens, a run ends with its documented report and status and leaves izlaz.dat either as it
// was or holding exactly one complete record.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "process_harness.h"

namespace {

using strma_test::kPrompt;
using strma_test::kPromptLine;
using strma_test::record_line;
using strma_test::RunOptions;
using strma_test::RunResult;
using strma_test::Stream;
using strma_test::TempDir;

const std::string kRecord45_10 = record_line("3.11", "45.00", "10.00");

// Exactly one well-formed report of class READ on the console, whatever its number; `number`
// narrows it to one report ("F6407").
bool is_one_read_report(const std::string& err, const std::string& number = "F6[0-9]{3}") {
  static const std::string frame_end = ": READ\\(CON\\)\r\n- [^\r\n]*\r\n";
  return std::regex_match(err, std::regex("\r\nrun-time error " + number + frame_end));
}

// The 63-character record and its CR LF, with any values in the three fields.
bool is_record(const std::string& bytes) {
  static const std::regex layout(
      "vreme je  [ 0-9.*-]{8}s  za ugao  [ 0-9.*-]{8}deg  sa visine  [ 0-9.*-]{8}m\r\n");
  return std::regex_match(bytes, layout);
}

// ---------------------------------------------------------------------------------------------
// Interrupt key while the program waits for input.

// No handler is installed: the signal's default action ends the process at once. Nothing more
// reaches standard output (the line end owed at the end of the run is never written), nothing
// reaches standard error, and izlaz.dat stays as the connect left it.
TEST(Interrupt, WhileWaitingForInputEndsTheProcessAndLeavesTheFile) {
  struct Case {
    Stream out;
    const char* out_while_waiting;  // the shared console writes the line end before waiting
    bool typed;                     // Ctrl-C typed on the terminal, or the signal sent
  };
  const Case cases[] = {
      {Stream::pty, "\r\n", false},
      {Stream::pty, "\r\n", true},
      {Stream::pipe, "", false},
      {Stream::file, "", true},
  };
  for (const Case& c : cases) {
    for (const std::string& old_content : {std::string(), std::string("old\r\n") + kRecord45_10}) {
      SCOPED_TRACE("typed " + std::to_string(c.typed) + ", old " + old_content);
      TempDir dir;
      if (!old_content.empty()) dir.write("izlaz.dat", old_content);
      RunOptions options;
      options.in = Stream::pty;
      options.out = c.out;
      if (c.typed) {
        options.input = {"\x03"};
      } else {
        options.interrupt_after_prompt = SIGINT;
      }
      options.timeout_ms = 5000;
      RunResult r = strma_test::run_strma(dir, options);
      const std::string waiting = kPrompt + c.out_while_waiting;
      EXPECT_EQ(r.out_before_input, waiting);
      EXPECT_EQ(r.signal, SIGINT);
      EXPECT_EQ(r.exit_status, -1);
      EXPECT_EQ(r.out, waiting) << "nothing is written after the interrupt";
      EXPECT_EQ(r.err, "");
      bool exists = false;
      EXPECT_EQ(dir.read("izlaz.dat", &exists), old_content);
      EXPECT_TRUE(exists);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Runs racing in one directory.

// Each run opens the file without truncating it, cuts it to length 0 when it stores its record
// and writes its 65 bytes at offset 0 when it ends. Whatever the interleaving, the last
// operation on the file is a run's whole write, so the file ends up holding exactly that run's
// record.
class ConcurrentRuns : public ::testing::Test {
 protected:
  static constexpr int kRuns = 32;

  void SetUp() override {
    for (int k = 0; k < kRuns; ++k) {
      inputs_.push_back(std::to_string(40 + k) + " " + std::to_string(k + 1) + "\n");
      TempDir solo;
      RunResult r = strma_test::run_with_input(solo, inputs_.back());
      ASSERT_EQ(r.exit_status, 0) << inputs_.back();
      records_.push_back(solo.read("izlaz.dat"));
      ASSERT_TRUE(is_record(records_.back()));
    }
    ASSERT_EQ(std::set<std::string>(records_.begin(), records_.end()).size(), records_.size());
  }

  std::vector<std::string> inputs_;
  std::vector<std::string> records_;  // the record each input gives alone
};

TEST_F(ConcurrentRuns, ExistingFileEndsWithOneWholeRecordOfOneRun) {
  for (int round = 0; round < 3; ++round) {
    TempDir dir;
    dir.write("izlaz.dat", std::string(1000, 'x'));
    const std::vector<RunResult> results = strma_test::run_strma_together(dir, inputs_);
    for (int k = 0; k < kRuns; ++k) {
      EXPECT_EQ(results[k].exit_status, 0) << inputs_[k] << results[k].err;
      EXPECT_EQ(results[k].out, kPromptLine);
      EXPECT_EQ(results[k].err, "");
    }
    const std::string content = dir.read("izlaz.dat");
    EXPECT_EQ(std::count(records_.begin(), records_.end(), content), 1)
        << "round " << round << ": " << content.size() << " bytes: " << content;
  }
}

// Without a file, the runs that find it missing try to create it; only one create can win.
// Every other such run finds that the file appeared after its existence test: F6415 before
// the prompt, the file untouched by that run.
TEST_F(ConcurrentRuns, MissingFileGoesToOneCreatorTheOthersReportOrWrite) {
  TempDir dir;
  const std::vector<RunResult> results = strma_test::run_strma_together(dir, inputs_);
  std::set<std::string> completed;
  for (int k = 0; k < kRuns; ++k) {
    const RunResult& r = results[k];
    if (r.exit_status == 0) {
      EXPECT_EQ(r.out, kPromptLine);
      EXPECT_EQ(r.err, "");
      completed.insert(records_[k]);
    } else {
      EXPECT_EQ(r.exit_status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "\r\nrun-time error F6415: OPEN(izlaz.dat)\r\n- file already exists\r\n");
    }
  }
  EXPECT_EQ(completed.count(dir.read("izlaz.dat")), 1u);
}

// ---------------------------------------------------------------------------------------------
// Standard descriptors closed when the run starts.

const char* name(Stream stream) {
  switch (stream) {
    case Stream::pipe: return "pipe";
    case Stream::pty: return "terminal";
    case Stream::closed: return "closed";
    default: return "other";
  }
}

// A missing descriptor counts as a character device, console writes to it fail and are
// ignored, a report that cannot be written is lost and the status stays. The file that the
// run opens never takes descriptor 0, 1 or 2: the old content of izlaz.dat is itself a valid
// input, so a run reading its own file, or writing its prompt or report into it, would show.
TEST(ClosedDescriptors, DocumentedOutcomeAndNothingStrayInTheFile) {
  const std::string old_content = "45 10\r\n";
  struct Case {
    Stream in, out, err;
    const char* input;
    int status;
    std::string out_bytes;  // standard output when it is open
    const char* report;     // number of the READ report on standard error when it is open,
                            // "" for none
  };
  const Case cases[] = {
      // Standard input closed: a character device. With a pipe as output the console is
      // separate (the line end comes at the end of the run); with a terminal it is shared, and
      // the read fails before its first line, so a second line end follows at the end.
      {Stream::closed, Stream::pipe, Stream::pipe, "", 1, kPromptLine, "F6500"},
      {Stream::closed, Stream::pty, Stream::pipe, "", 1, kPromptLine + "\r\n", "F6500"},
      {Stream::closed, Stream::closed, Stream::pipe, "", 1, "", "F6500"},
      {Stream::closed, Stream::pipe, Stream::closed, "", 1, kPromptLine, ""},
      {Stream::closed, Stream::closed, Stream::closed, "", 1, "", ""},
      // Standard output closed: the prompt is lost, the run goes on.
      {Stream::pipe, Stream::closed, Stream::pipe, "45 10\n", 0, "", ""},
      {Stream::pty, Stream::closed, Stream::pipe, "45 10\n", 0, "", ""},
      {Stream::pipe, Stream::closed, Stream::pipe, "abc\n", 1, "", "F6103"},
      {Stream::pipe, Stream::closed, Stream::closed, "45 10\n", 0, "", ""},
      {Stream::pipe, Stream::closed, Stream::closed, "abc\n", 1, "", ""},
      // Standard error closed: the report is lost, the status stays.
      {Stream::pipe, Stream::pipe, Stream::closed, "45 10\n", 0, kPromptLine, ""},
      {Stream::pipe, Stream::pipe, Stream::closed, "abc\n", 1, kPromptLine, ""},
  };
  for (const Case& c : cases) {
    for (bool old_file : {false, true}) {
      SCOPED_TRACE(std::string("in ") + name(c.in) + ", out " + name(c.out) + ", err " +
                   name(c.err) + ", input " + c.input + (old_file ? ", old file" : ", no file"));
      TempDir dir;
      if (old_file) dir.write("izlaz.dat", old_content);
      RunOptions options;
      options.in = c.in;
      options.out = c.out;
      options.err = c.err;
      options.input = {c.input};
      options.wait_for_line_end = c.out != Stream::closed;
      options.timeout_ms = 5000;
      RunResult r = strma_test::run_strma(dir, options);
      EXPECT_EQ(r.exit_status, c.status);
      if (c.out != Stream::closed) {
        EXPECT_EQ(r.out, c.out_bytes);
      }
      if (c.err != Stream::closed) {
        if (*c.report == '\0') {
          EXPECT_EQ(r.err, "");
        } else {
          EXPECT_TRUE(is_one_read_report(r.err, c.report)) << r.err;
        }
      }
      bool exists = false;
      const std::string content = dir.read("izlaz.dat", &exists);
      EXPECT_TRUE(exists);
      if (c.status == 0) {
        EXPECT_EQ(content, kRecord45_10);
      } else {
        EXPECT_EQ(content, old_file ? old_content : "");
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Endless and binary input.

// The null device's endless zeros are a character device, so the console rules apply: the
// first fill of 132 bytes holds no line end. In a shared console the read had written the
// prompt's line end, and the end of the run writes a second one.
TEST(EndlessInput, ZeroDeviceFailsAtTheFirstFill) {
  for (Stream out : {Stream::pipe, Stream::pty}) {
    TempDir dir;
    RunOptions options;
    options.in = Stream::device;
    options.device_path = "/dev/zero";
    options.out = out;
    options.timeout_ms = 5000;
    RunResult r = strma_test::run_strma(dir, options);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_TRUE(is_one_read_report(r.err, "F6407")) << r.err;
    EXPECT_EQ(r.out, out == Stream::pty ? kPromptLine + "\r\n" : kPromptLine);
    bool exists = false;
    EXPECT_EQ(dir.read("izlaz.dat", &exists), "");
    EXPECT_TRUE(exists);
  }
}

// Whatever random bytes hold, the run ends promptly: with one READ report and the old file, or
// (when the bytes happen to hold two values) with a record.
void expect_read_failure_or_record(const TempDir& dir, const RunResult& r,
                                   const std::string& old_content) {
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.out, kPromptLine);
  if (r.exit_status == 0) {
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(is_record(dir.read("izlaz.dat")));
  } else {
    EXPECT_EQ(r.exit_status, 1);
    // A random line can hold two numbers whose computation fails (a MATH report).
    EXPECT_TRUE(is_one_read_report(r.err) ||
                std::regex_match(r.err, std::regex("\r\nrun-time error M6[0-9]{3}: MATH\r\n- [^\r\n]*\r\n")))
        << r.err;
    EXPECT_EQ(dir.read("izlaz.dat"), old_content);
  }
}

TEST(EndlessInput, RandomBytesEndPromptly) {
  const std::string old_content = "old\r\n";
  {
    TempDir dir;
    dir.write("izlaz.dat", old_content);
    RunOptions options;
    options.in = Stream::device;
    options.device_path = "/dev/urandom";
    options.timeout_ms = 5000;
    expect_read_failure_or_record(dir, strma_test::run_strma(dir, options), old_content);
  }
  std::mt19937 generator(20261211);
  for (int k = 0; k < 8; ++k) {
    std::string bytes(1 << 20, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xff);
    for (Stream in : {Stream::file, Stream::pipe}) {
      TempDir dir;
      dir.write("izlaz.dat", old_content);
      RunOptions options;
      options.in = in;
      options.input = {bytes};
      options.timeout_ms = 5000;
      expect_read_failure_or_record(dir, strma_test::run_strma(dir, options), old_content);
    }
  }
}

// Bytes that no value may hold, and lines of a megabyte, through a pipe.
TEST(BinaryInput, NulBytesAndMegabyteLines) {
  const std::string megabyte(1 << 20, ' ');
  struct Case {
    std::string input;
    const char* report;  // "" when the input holds two values: angle 45, height 10
  };
  const Case cases[] = {
      {std::string("4\0" "5 10\n", 6), "F6103"},
      {std::string("45\0 10\n", 7), "F6103"},
      {std::string("\0 45 10\n", 8), "F6103"},
      {std::string("45 10\0\n", 7), "F6103"},
      {std::string("45 10\n\0\0\0\n", 10), ""},  // the rest of the input is never read
      {std::string("45 10") + megabyte + "\n", ""},
      {megabyte + "45 10\n", ""},
      {"45" + megabyte + "10", ""},
      {"45 10" + megabyte, ""},
      {"45" + megabyte, "F6501"},  // one value, then the end of the input
      {"45 1" + std::string(1 << 20, '0') + "\n", "F6[0-9]{3}"},
      {"45 " + std::string(1 << 20, 'x') + " 10\n", "F6[0-9]{3}"},
      {"45 " + std::string(1 << 20, '\0') + "\n", "F6[0-9]{3}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 12) + "... " + std::to_string(c.input.size()) + " bytes");
    TempDir dir;
    RunOptions options;
    options.input = {c.input};
    options.timeout_ms = 5000;
    RunResult r = strma_test::run_strma(dir, options);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.out, kPromptLine);
    if (*c.report == '\0') {
      EXPECT_EQ(r.exit_status, 0);
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
    } else {
      EXPECT_EQ(r.exit_status, 1);
      EXPECT_TRUE(is_one_read_report(r.err, c.report)) << r.err;
      EXPECT_EQ(dir.read("izlaz.dat"), "");
    }
  }
}

// A pipe that never ends and never brings a separator: the value can never be complete, and
// the read must not wait for it forever.
TEST(EndlessInput, ValueThatNeverEndsFailsPromptly) {
  for (const std::string& chunk : {std::string(4096, '\0'), std::string(4096, '7'),
                                  "45 " + std::string(4096, '1')}) {
    SCOPED_TRACE(chunk.substr(0, 4));
    TempDir dir;
    RunOptions options;
    options.input = {chunk};
    options.endless_input = true;
    options.timeout_ms = 5000;
    RunResult r = strma_test::run_strma(dir, options);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_TRUE(is_one_read_report(r.err)) << r.err;
    EXPECT_EQ(r.out, kPromptLine);
  }
}

}  // namespace
