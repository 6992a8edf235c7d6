#include "runframe/arith_failures.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "runframe/error_report.h"

namespace strma::runframe {
namespace {

MathFunction marker = MathFunction::none;

const char* kind_word(FpErrorKind kind) {
  switch (kind) {
    case FpErrorKind::invalid: return "invalid";
    case FpErrorKind::denormal: return "denormal";
    case FpErrorKind::divide_by_zero: return "divide by zero";
    case FpErrorKind::overflow: return "overflow";
    case FpErrorKind::underflow: return "underflow";
    case FpErrorKind::inexact: return "inexact";
    case FpErrorKind::square_root: return "square root";
    case FpErrorKind::stack_overflow: return "stack overflow";
    case FpErrorKind::stack_underflow: return "stack underflow";
  }
  return "";
}

const char* class_word(MathErrorClass error_class) {
  switch (error_class) {
    case MathErrorClass::domain: return "DOMAIN";
    case MathErrorClass::singularity: return "SING";
    case MathErrorClass::overflow: return "OVERFLOW";
    case MathErrorClass::underflow: return "UNDERFLOW";
    case MathErrorClass::total_loss: return "TLOSS";
    case MathErrorClass::partial_loss: return "PLOSS";
  }
  return "";
}

}  // namespace

MathFunction active_math_function() { return marker; }

ActiveMathFunction::ActiveMathFunction(MathFunction function) { marker = function; }
ActiveMathFunction::~ActiveMathFunction() { marker = MathFunction::none; }

// Double arithmetic on every target of this program (SSE2 on x86-64, the FPU of aarch64)
// already rounds each operation to a 53-bit significand; nothing needs setting.
void set_arithmetic_precision() {}

// The traps are detected in software where they can occur (see the header), so there is
// no hardware state to change; the handler is fp_trap_handler.
void install_fp_traps() {}

void fp_trap_handler(FpErrorKind kind) {
  if (marker != MathFunction::none) return;
  char text[64];
  std::snprintf(text, sizeof text, "floating-point error: %s", kind_word(kind));
  report_run_time_error(ReportClass::math, static_cast<int>(kind), "", text);
}

double math_error_handler(MathErrorClass error_class, const char* name, double default_result) {
  if (error_class == MathErrorClass::underflow || error_class == MathErrorClass::partial_loss)
    return default_result;
  char text[64];
  std::snprintf(text, sizeof text, "%s: %s error", name, class_word(error_class));
  report_run_time_error(ReportClass::math, static_cast<int>(error_class), "", text);
  return default_result;
}

double square_root(double x, bool& domain_error) {
  ActiveMathFunction active(MathFunction::sqrt);
  domain_error = false;
  if (x == 0.0 || x == std::numeric_limits<double>::infinity()) return x;
  if (!(x > 0.0)) {
    // The invalid operation of the root of a negative number traps inside the function,
    // where the handler stays silent; the function reports its own DOMAIN error instead.
    fp_trap_handler(FpErrorKind::invalid);
    domain_error = true;
    return std::numeric_limits<double>::quiet_NaN();
  }
  return std::sqrt(x);
}

}  // namespace strma::runframe
