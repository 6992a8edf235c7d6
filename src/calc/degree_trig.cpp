#include "calc/degree_trig.h"

#include <cmath>

#include "runframe/arith_failures.h"

namespace strma::calc {

// Placeholder until the exact functions land.
namespace {
double radians(float angle) { return static_cast<double>(angle) * 3.14159265358979323846 / 180.0; }
}  // namespace

Ext64 sin_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::sin_deg);
  double r = std::fmod(static_cast<double>(angle), 360.0);
  if (r == 0) return {0.0, 0.0};
  if (r == 90) return {1.0, 0.0};
  if (r == 180) return {0.0, 0.0};
  if (r == 270) return {-1.0, 0.0};
  return {std::sin(radians(static_cast<float>(r))), 0.0};
}

Ext64 cos_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::cos_deg);
  double r = std::fmod(static_cast<double>(angle), 360.0);
  if (r == 0) return {1.0, 0.0};
  if (r == 90) return {0.0, 0.0};
  if (r == 180) return {-1.0, 0.0};
  if (r == 270) return {0.0, 0.0};
  return {std::cos(radians(static_cast<float>(r))), 0.0};
}

Ext64 tan_deg(float angle) {
  runframe::ActiveMathFunction active(runframe::MathFunction::tan_deg);
  return {std::tan(radians(angle)), 0.0};
}

}  // namespace strma::calc
