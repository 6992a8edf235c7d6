// The run sequence: connect the result file, prompt, read, compute, write the result.
#pragma once

namespace strma::calc {

// The static quantities of the calculation: zero at process start, never reset.
struct Quantities {
  float angle_deg;
  float height_m;
  float friction_coeff;
  float accel;
  float slide_time;
};

extern Quantities quantities;

// One straight pass. Returns 0 after a complete pass; every failure on the way ends the run
// through a run-time error report instead of returning.
int run_sequence();

}  // namespace strma::calc
