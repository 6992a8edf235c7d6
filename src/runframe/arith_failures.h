// Arithmetic failures: the floating-point environment, the trap handler, the math-function
// error handler and the square root as the calculator uses it.
//
// Traps are not taken from the hardware: the conditions the calculator traps (division by
// zero, zero divided by zero, overflow of a store to single) are detected where they can
// occur and handed to fp_trap_handler with their kind.
#pragma once

namespace strma::runframe {

// Floating-point error kinds; the value is the report number.
enum class FpErrorKind {
  invalid = 6101,
  denormal = 6102,
  divide_by_zero = 6103,
  overflow = 6104,
  underflow = 6105,
  inexact = 6106,
  square_root = 6108,
  stack_overflow = 6110,
  stack_underflow = 6111,
};

// Math-function error classes; the value is the report number.
enum class MathErrorClass {
  domain = 6201,
  singularity = 6202,
  overflow = 6203,
  underflow = 6204,  // ignored: the function's default result is returned
  total_loss = 6205,
  partial_loss = 6206,  // ignored: the function's default result is returned
};

// The math function that is running, none otherwise. While it is set, a trap raised inside
// the function gives no report of its own, so a failing function reports exactly once.
enum class MathFunction { none = 0, sin_deg, cos_deg, tan_deg, sqrt };

MathFunction active_math_function();

// Sets the marker for the lifetime of the guard.
class ActiveMathFunction {
 public:
  explicit ActiveMathFunction(MathFunction function);
  ~ActiveMathFunction();
  ActiveMathFunction(const ActiveMathFunction&) = delete;
  ActiveMathFunction& operator=(const ActiveMathFunction&) = delete;
};

// First start-up initializer: the precision of arithmetic between stores.
void set_arithmetic_precision();

// Part of the record I/O preparation: puts the traps and fp_trap_handler in force.
void install_fp_traps();

// A trap of kind `kind` fired. Outside a math function: report "floating-point error: "
// and the kind's word, M and the kind's number; the run ends. Inside one: no report, the
// function goes on and reports its own error.
void fp_trap_handler(FpErrorKind kind);

// A math function detected an error (after restoring the caller's environment).
// UNDERFLOW and PLOSS return `default_result` at once; every other class is reported as
// "<name>: <CLASS> error" with M and the class's number, and the run ends.
double math_error_handler(MathErrorClass error_class, const char* name, double default_result);

// The square root of the calculator: a positive argument gives the correctly rounded root,
// a zero (of either sign) and plus infinity come back unchanged; a negative or NaN argument
// is a DOMAIN error of "sqrt" (default result NaN), signalled through `domain_error` so that
// the caller decides when to report it.
double square_root(double x, bool& domain_error);

}  // namespace strma::runframe
