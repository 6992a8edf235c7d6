#include "calc/run_sequence.h"

#include <limits>

#include "calc/slide_computation.h"
#include "recio/console_output.h"
#include "recio/free_form_reader.h"
#include "recio/result_record.h"
#include "recio/unit_connection.h"
#include "runframe/arith_failures.h"

namespace strma::calc {

Quantities quantities{};

namespace {

constexpr int kResultUnit = 10;
constexpr char kResultFile[] = "izlaz.dat";
constexpr char kPrompt[] = "unesi ugao strme ravni u stepenima i visinu u metrima";

// Hands a failure of the computation to the handler that reports it.
void raise(SlideFailure failure) {
  using runframe::FpErrorKind;
  switch (failure) {
    case SlideFailure::none: return;
    case SlideFailure::divide_by_zero: runframe::fp_trap_handler(FpErrorKind::divide_by_zero); return;
    case SlideFailure::invalid: runframe::fp_trap_handler(FpErrorKind::invalid); return;
    case SlideFailure::slide_time_overflow: runframe::fp_trap_handler(FpErrorKind::overflow); return;
    case SlideFailure::sqrt_domain:
      runframe::math_error_handler(runframe::MathErrorClass::domain, "sqrt",
                                   std::numeric_limits<double>::quiet_NaN());
      return;
  }
}

}  // namespace

int run_sequence() {
  recio::connect_unit(kResultUnit, kResultFile);
  recio::write_console_record(kPrompt);
  recio::read_angle_height(quantities.angle_deg, quantities.height_m);

  const SlideOutcome outcome = compute_slide(quantities.angle_deg, quantities.height_m);
  quantities.friction_coeff = outcome.friction_coeff;
  quantities.accel = outcome.accel;
  raise(outcome.failure);
  quantities.slide_time = outcome.slide_time;

  recio::write_result_record(quantities.slide_time, quantities.angle_deg, quantities.height_m);
  return 0;
}

}  // namespace strma::calc
