// The sliding time: a pure function of the angle and the height, with the program's fixed
// rounding points. No I/O; failures come back as a value for the caller to report.
#pragma once

namespace strma::calc {

// Why the computation could not produce a time.
enum class SlideFailure {
  none,
  divide_by_zero,      // zero denominator, nonzero numerator
  invalid,             // zero denominator and zero numerator
  sqrt_domain,         // negative quotient
  slide_time_overflow, // the root rounds beyond the largest single value
};

struct SlideOutcome {
  float friction_coeff;
  float accel;
  float slide_time;  // valid only when failure is none
  SlideFailure failure;
};

// The steps, each product, difference, quotient and root rounded once to double, each named
// quantity stored to single:
//   friction_coeff = tan_deg(30)
//   slope_gravity  = sin_deg(angle) * 9.81
//   accel          = slope_gravity - (cos_deg(angle) * friction_coeff) * 9.81
//   slide_time     = sqrt((height * 2) / (sin_deg(angle) * accel))
SlideOutcome compute_slide(float angle_deg, float height_m);

}  // namespace strma::calc
