// The computation seen from outside: the time field of the record for angles and heights
// around the interesting points, and the arithmetic reports that end a run.
#include <gtest/gtest.h>

#include <string>

#include "process_harness.h"

namespace {

using strma_test::kPromptLine;
using strma_test::record_line;
using strma_test::RunResult;
using strma_test::TempDir;

struct RecordCase {
  const char* input;
  const char* time;
  const char* angle;
  const char* height;
};

TEST(Computation, RecordsOfCompleteRuns) {
  const RecordCase cases[] = {
      {"90 1", ".45", "90.00", "1.00"},
      {"90 10", "1.43", "90.00", "10.00"},
      {"90 100", "4.52", "90.00", "100.00"},
      {"45 1", ".98", "45.00", "1.00"},
      {"45 10", "3.11", "45.00", "10.00"},
      {"45 100", "9.82", "45.00", "100.00"},
      {"60 1", ".64", "60.00", "1.00"},
      {"60 10", "2.02", "60.00", "10.00"},
      {"60 100", "6.39", "60.00", "100.00"},
      {"31 1", "4.43", "31.00", "1.00"},
      {"31 10", "14.02", "31.00", "10.00"},
      {"31 100", "44.32", "31.00", "100.00"},
      // At 30 and 210 degrees the two terms of the acceleration nearly cancel.
      {"30 1", "6740.62", "30.00", "1.00"},
      {"30 10", "21315.70", "30.00", "10.00"},
      {"30 100", "67406.17", "30.00", "100.00"},
      {"30 1000", "********", "30.00", "1000.00"},
      {"390 1", "6740.62", "390.00", "1.00"},
      {"-330 1", "6740.62", "-330.00", "1.00"},
      {"210 1", "6740.62", "210.00", "1.00"},
      {"150 1", ".64", "150.00", "1.00"},
      {"250 1", ".54", "250.00", "1.00"},
      {"270 1", ".45", "270.00", "1.00"},
      {"20 -10", "5.45", "20.00", "-10.00"},
      {"200 -10", "5.45", "200.00", "-10.00"},
      {"90 0", ".00", "90.00", ".00"},
      {"45 -0", ".00", "45.00", ".00"},
      {"89.99 0.5", ".32", "89.99", ".50"},
      {"100000 5", ".98", "********", "5.00"},
      // -180 is not an exact zero of the sine: a tiny denominator, a huge time.
      {"-180 -1", "********", "-180.00", "-1.00"},
      // The smallest subnormal angle: the sine is not zero, the time is about 1.2e23.
      {"1e-45 -1", "********", ".00", "-1.00"},
  };
  for (const RecordCase& c : cases) {
    TempDir dir;
    RunResult r = strma_test::run_with_input(dir, std::string(c.input) + "\n");
    EXPECT_EQ(r.exit_status, 0) << c.input;
    EXPECT_EQ(r.err, "") << c.input;
    EXPECT_EQ(r.out, kPromptLine) << c.input;
    EXPECT_EQ(dir.read("izlaz.dat"), record_line(c.time, c.angle, c.height)) << c.input;
  }
}

struct FailureCase {
  const char* input;
  const char* second_line;
  const char* third_line;
};

// Each failure gives exactly one report, status 1, and leaves an old file as it was (also
// the overflow of the time, which happens while the record is being made).
TEST(Computation, ArithmeticFailuresEndTheRunWithOneReport) {
  const char* sqrt_line = "run-time error M6201: MATH";
  const char* sqrt_text = "- sqrt: DOMAIN error";
  const char* div_line = "run-time error M6103: MATH";
  const char* div_text = "- floating-point error: divide by zero";
  const FailureCase cases[] = {
      {"29 1", sqrt_line, sqrt_text},
      {"200 1", sqrt_line, sqrt_text},
      {"90 -1", sqrt_line, sqrt_text},
      {"-180 1", sqrt_line, sqrt_text},
      {"1e-45 1", sqrt_line, sqrt_text},
      {"0 1", div_line, div_text},
      {"180 1", div_line, div_text},
      {"360 1", div_line, div_text},
      {"720 1", div_line, div_text},
      {"540 1", div_line, div_text},
      {"-360 1", div_line, div_text},
      {"0 0", "run-time error M6101: MATH", "- floating-point error: invalid"},
      {"/", "run-time error M6101: MATH", "- floating-point error: invalid"},
      {"1e-40 -1e38", "run-time error M6104: MATH", "- floating-point error: overflow"},
  };
  for (const FailureCase& c : cases) {
    TempDir dir;
    dir.write("izlaz.dat", "old content\r\n");
    RunResult r = strma_test::run_with_input(dir, std::string(c.input) + "\n");
    EXPECT_EQ(r.exit_status, 1) << c.input;
    EXPECT_EQ(r.err, "\r\n" + std::string(c.second_line) + "\r\n" + c.third_line + "\r\n")
        << c.input;
    EXPECT_EQ(r.out, kPromptLine) << c.input;
    EXPECT_EQ(dir.read("izlaz.dat"), "old content\r\n") << c.input;
  }
}

}  // namespace
