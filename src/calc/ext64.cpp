#include "calc/ext64.h"

namespace strma::calc {

// Placeholder until the exact product lands: two roundings.
double mul_to_double(Ext64 a, double b) { return a.hi * b + a.lo * b; }

float round_to_float(Ext64 a) { return static_cast<float>(a.hi); }

}  // namespace strma::calc
