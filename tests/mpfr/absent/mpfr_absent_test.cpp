#include <gtest/gtest.h>

// Built instead of the accuracy tests when MPFR is not installed.
TEST(MpfrAccuracy, Skipped) {
  GTEST_SKIP() << "skipped: MPFR not found (install libmpfr-dev to run the accuracy tests)";
}
