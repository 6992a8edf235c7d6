// Sine, cosine and tangent of an angle in degrees, carried to a 64-bit significand.
#pragma once

#include "calc/ext64.h"

namespace strma::calc {

// Sine of `angle` degrees. The angle is first reduced exactly by 360 (the remainder keeps the
// sign of the angle); the remainders 0, 90, 180 and 270 give exactly 0, 1, 0 and -1. A
// non-finite angle is a DOMAIN error of "mod" and ends the run.
Ext64 sin_deg(float angle);

// Cosine, reduced and with exact cases like sin_deg: 0, 90, 180, 270 give 1, 0, -1, 0.
Ext64 cos_deg(float angle);

// Tangent of `angle` degrees, from the unreduced angle, without exact cases. A radian value
// of 2^63 or more is a TLOSS error of "tan", a non-finite angle a DOMAIN error of "tan".
Ext64 tan_deg(float angle);

}  // namespace strma::calc
