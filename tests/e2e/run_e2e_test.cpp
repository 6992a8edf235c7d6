// A whole run through the real executable: the prompt and its line end in each console
// mode, the result file in each situation, reports on standard error and the exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

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

std::string report(const std::string& code_and_class, const std::string& message) {
  return "\r\nrun-time error " + code_and_class + "\r\n- " + message + "\r\n";
}

RunResult run(const TempDir& dir, Stream in, Stream out, const std::string& input,
              Stream err = Stream::pipe) {
  RunOptions options;
  options.in = in;
  options.out = out;
  options.err = err;
  options.input = {input};
  return strma_test::run_strma(dir, options);
}

TEST(CompleteRun, PipesGiveThePromptLineAndTheRecord) {
  TempDir dir;
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, kPromptLine);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
  EXPECT_EQ(kRecord45_10.size(), 65u);
}

// The prompt's line end: written when the read starts in a shared console (before the
// program waits), at the end of the run otherwise. Either way 55 bytes in all.
TEST(ConsoleLineEnd, SharedConsoleWritesItBeforeWaiting) {
  TempDir dir;
  RunResult r = run(dir, Stream::pty, Stream::pty, "45 10\n");
  EXPECT_EQ(r.out_before_input, kPromptLine);
  EXPECT_EQ(r.out, kPromptLine);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
}

TEST(ConsoleLineEnd, SeparateConsoleWritesItAtTheEnd) {
  struct Case {
    Stream in, out;
  };
  for (Case c : {Case{Stream::pty, Stream::file}, Case{Stream::pty, Stream::pipe},
                 Case{Stream::pipe, Stream::pty}, Case{Stream::file, Stream::file}}) {
    TempDir dir;
    RunResult r = run(dir, c.in, c.out, "45 10\n");
    if (c.in == Stream::pty) {
      EXPECT_EQ(r.out_before_input, kPrompt);
    }
    EXPECT_EQ(r.out, kPromptLine);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
  }
}

// The null device is a character device: as standard input with a terminal as standard output
// it makes a shared console; its end of input fails before the first line is consumed, so the
// end of the run owes one more line end.
TEST(ConsoleLineEnd, NullDeviceCountsAsCharacterDevice) {
  TempDir dir;
  RunResult r = run(dir, Stream::dev_null, Stream::pty, "");
  EXPECT_EQ(r.out, kPromptLine + "\r\n");
  EXPECT_EQ(r.err.substr(0, 35), "\r\nrun-time error F6501: READ(CON)\r\n");
  EXPECT_EQ(r.exit_status, 1);

  TempDir both_null;
  r = run(both_null, Stream::dev_null, Stream::dev_null, "");
  EXPECT_EQ(r.err.substr(0, 35), "\r\nrun-time error F6501: READ(CON)\r\n");
  EXPECT_EQ(r.exit_status, 1);
}

// While the prompt waits, a new file exists and is empty, an old one is untouched.
TEST(ResultFile, ConnectCreatesOrLeavesTheFileBeforeThePrompt) {
  for (const std::string old_content : {"", "old"}) {
    TempDir dir;
    if (!old_content.empty()) dir.write("izlaz.dat", old_content);
    RunResult r = run(dir, Stream::pty, Stream::pty, "45 10\n");
    EXPECT_TRUE(r.file_before_input_exists);
    EXPECT_EQ(r.file_before_input, old_content);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
  }
}

TEST(ResultFile, OldContentStaysUntilTheRecordIsWritten) {
  const std::string old_content(1000, 'x');
  {
    TempDir dir;
    dir.write("izlaz.dat", old_content);
    RunResult r = strma_test::run_with_input(dir, "45 10\n");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10) << "an old file never keeps a tail";
  }
  {
    TempDir dir;
    dir.write("izlaz.dat", old_content);
    RunResult r = strma_test::run_with_input(dir, "");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(dir.read("izlaz.dat"), old_content);
  }
  {
    TempDir dir;
    RunResult r = strma_test::run_with_input(dir, "");
    EXPECT_EQ(r.exit_status, 1);
    bool exists = false;
    EXPECT_EQ(dir.read("izlaz.dat", &exists), "");
    EXPECT_TRUE(exists);
  }
}

TEST(ResultFile, TwoRunsEachReplaceTheWholeFile) {
  TempDir dir;
  strma_test::run_with_input(dir, "30 1000\n");
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
}

TEST(ResultFile, DirectoryOfThatNameIsAccessDenied) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.file("izlaz.dat").c_str(), 0755), 0);
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, report("F6414: OPEN(izlaz.dat)", "access denied"));
}

TEST(ResultFile, DanglingLinkIsNeverWrittenThrough) {
  TempDir dir;
  ASSERT_EQ(::symlink("missing/target", dir.file("izlaz.dat").c_str()), 0);
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, report("F6415: OPEN(izlaz.dat)", "file already exists"));
}

// Read-only files need a user the permissions apply to.
class ReadOnlyFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!strma_test::can_drop_privileges())
      GTEST_SKIP() << "skipped: needs root to run the calculator as an unprivileged user";
  }
  RunResult run_as_nobody(const TempDir& dir, const std::string& content) {
    dir.write("izlaz.dat", content);
    ::chown(dir.file("izlaz.dat").c_str(), 65534, 65534);
    ::chmod(dir.file("izlaz.dat").c_str(), 0444);
    RunOptions options;
    options.input = {"45 10\n"};
    options.as_unprivileged_user = true;
    return strma_test::run_strma(dir, options);
  }
};

TEST_F(ReadOnlyFile, NotEmptyFailsAtTheCutAndKeepsItsContent) {
  TempDir dir;
  RunResult r = run_as_nobody(dir, "old\r\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, kPromptLine);
  EXPECT_EQ(r.err, report("F6421: WRITE(izlaz.dat)", "permission to write denied"));
  EXPECT_EQ(dir.read("izlaz.dat"), "old\r\n");
}

// The record cannot be stored: reported at the close, and the run does not end as a success.
TEST_F(ReadOnlyFile, EmptyFailsAtTheCloseWithStatusOne) {
  TempDir dir;
  RunResult r = run_as_nobody(dir, "");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, kPrompt) << "the report skips the owed line end";
  EXPECT_EQ(r.err, report("F6421: CLOSE(izlaz.dat)", "permission to write denied"));
  EXPECT_EQ(dir.read("izlaz.dat"), "");
}

TEST(ResultFile, FullDeviceAtTheCloseEndsWithStatusOne) {
  TempDir dir;
  ASSERT_EQ(::symlink("/dev/full", dir.file("izlaz.dat").c_str()), 0);
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, kPrompt);
  EXPECT_EQ(r.err, report("F6422: CLOSE(izlaz.dat)", "no space left on device"));
}

// A write that fails for any other reason is reported too, never passed over as success.
// Writing at offset 0 of the process's own memory file fails with an I/O error.
TEST(ResultFile, OtherWriteFailureIsReported) {
  TempDir dir;
  ASSERT_EQ(::symlink("/proc/self/mem", dir.file("izlaz.dat").c_str()), 0);
  RunResult r = strma_test::run_with_input(dir, "45 10\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.err, report("F6423: CLOSE(izlaz.dat)", "write to file failed (EIO)"));
}

TEST(ConsoleWrite, FullStandardOutputEndsTheRun) {
  TempDir dir;
  RunResult r = run(dir, Stream::pipe, Stream::dev_full, "45 10\n");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.err, report("F6422: WRITE(CON)", "no space left on device"));
  bool exists = false;
  EXPECT_EQ(dir.read("izlaz.dat", &exists), "");
  EXPECT_TRUE(exists);
}

// Other console write failures are ignored: the run completes.
TEST(ConsoleWrite, ReaderOfStandardOutputGoneIsIgnored) {
  TempDir dir;
  RunResult r = run(dir, Stream::pipe, Stream::broken_pipe, "45 10\n");
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.read("izlaz.dat"), kRecord45_10);
}

}  // namespace
