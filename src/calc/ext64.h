// Reals with a 64-bit significand, as the sine, cosine and tangent deliver them.
#pragma once

namespace strma::calc {

// A real with at most 64 significant bits, held exactly as the unevaluated sum hi + lo of
// two doubles: hi is the value rounded to double, lo the exact rest (|lo| <= ulp(hi) / 2).
struct Ext64 {
  double hi;
  double lo;
};

// The product a * b rounded once, from the exact product, to the nearest double, ties to
// even. (Rounding the product to 64 bits first and then to 53 would round twice.)
double mul_to_double(Ext64 a, double b);

// The value rounded once to the nearest single, ties to even.
float round_to_float(Ext64 a);

}  // namespace strma::calc
