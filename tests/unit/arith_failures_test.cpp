#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runframe/arith_failures.h"

namespace {

using namespace strma::runframe;

const char* kMathLine = "\r\nrun-time error M";

TEST(FpTrapHandler, ReportsKindWordAndNumberOutsideMathFunctions) {
  EXPECT_EXIT(fp_trap_handler(FpErrorKind::divide_by_zero), ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n$");
  EXPECT_EXIT(fp_trap_handler(FpErrorKind::invalid), ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6101: MATH\r\n- floating-point error: invalid\r\n$");
  EXPECT_EXIT(fp_trap_handler(FpErrorKind::overflow), ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6104: MATH\r\n- floating-point error: overflow\r\n$");
}

TEST(FpTrapHandler, SilentWhileAMathFunctionRuns) {
  {
    ActiveMathFunction active(MathFunction::sqrt);
    EXPECT_EQ(active_math_function(), MathFunction::sqrt);
    fp_trap_handler(FpErrorKind::invalid);  // returns: the function reports for itself
  }
  EXPECT_EQ(active_math_function(), MathFunction::none);
}

TEST(MathErrorHandler, IgnoresUnderflowAndPartialLossOfPrecision) {
  EXPECT_EQ(math_error_handler(MathErrorClass::underflow, "sin", 0.25), 0.25);
  EXPECT_EQ(math_error_handler(MathErrorClass::partial_loss, "sin", -1.0), -1.0);
}

TEST(MathErrorHandler, ReportsTheOtherClasses) {
  EXPECT_EXIT(math_error_handler(MathErrorClass::domain, "sqrt", 0), ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6201: MATH\r\n- sqrt: DOMAIN error\r\n$");
  EXPECT_EXIT(math_error_handler(MathErrorClass::total_loss, "tan", 0),
              ::testing::ExitedWithCode(1),
              "^\r\nrun-time error M6205: MATH\r\n- tan: TLOSS error\r\n$");
  EXPECT_EXIT(math_error_handler(MathErrorClass::singularity, "tan", 0),
              ::testing::ExitedWithCode(1), kMathLine);
}

TEST(SquareRoot, ZerosAndInfinityComeBackUnchanged) {
  bool domain_error = true;
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::signbit(square_root(-0.0, domain_error)));
  EXPECT_FALSE(domain_error);
  EXPECT_FALSE(std::signbit(square_root(0.0, domain_error)));
  EXPECT_EQ(square_root(inf, domain_error), inf);
  EXPECT_EQ(square_root(2.0, domain_error), std::sqrt(2.0));
  EXPECT_FALSE(domain_error);
  EXPECT_EQ(active_math_function(), MathFunction::none);
}

TEST(SquareRoot, NegativeAndNaNAreDomainErrorsWithoutATrapReport) {
  for (double x : {-1.0, -std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::denorm_min(),
                   std::numeric_limits<double>::quiet_NaN()}) {
    bool domain_error = false;
    EXPECT_TRUE(std::isnan(square_root(x, domain_error))) << x;
    EXPECT_TRUE(domain_error) << x;
  }
}

}  // namespace
