#include "calc/slide_computation.h"

#include "calc/degree_trig.h"
#include "runframe/arith_failures.h"

namespace strma::calc {
namespace {

constexpr float kGravity = 9.81f;  // 9.81000041961669921875
constexpr float kFrictionAngle = 30.0f;
constexpr float kTwo = 2.0f;

}  // namespace

SlideOutcome compute_slide(float angle_deg, float height_m) {
  SlideOutcome out{};
  out.friction_coeff = round_to_float(tan_deg(kFrictionAngle));
  const double gravity = kGravity;

  const float slope_gravity = static_cast<float>(mul_to_double(sin_deg(angle_deg), gravity));
  const double cos_friction = mul_to_double(cos_deg(angle_deg), out.friction_coeff);
  const double friction_term = cos_friction * gravity;
  out.accel = static_cast<float>(static_cast<double>(slope_gravity) - friction_term);

  const double denominator = mul_to_double(sin_deg(angle_deg), out.accel);
  const double numerator = static_cast<double>(height_m) * kTwo;
  if (denominator == 0.0) {
    out.failure = numerator == 0.0 ? SlideFailure::invalid : SlideFailure::divide_by_zero;
    return out;
  }
  const double quotient = numerator / denominator;

  bool domain_error = false;
  const double root = runframe::square_root(quotient, domain_error);
  if (domain_error) {
    out.failure = SlideFailure::sqrt_domain;
    return out;
  }
  // The store overflows when the root is at or beyond the halfway point between the largest
  // single and 2^128 (that tie rounds to the even 2^128).
  if (root >= 0x1.ffffffp+127) {
    out.failure = SlideFailure::slide_time_overflow;
    return out;
  }
  out.slide_time = static_cast<float>(root);
  return out;
}

}  // namespace strma::calc
