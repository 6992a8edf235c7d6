// Double-double arithmetic: a real held as the unevaluated sum hi + lo of two doubles with
// |lo| <= ulp(hi) / 2, about 106 significant bits.
//
// Every helper assumes round to nearest, ties to even, no overflow and no underflow of the
// intermediate results, and a compiler that does not contract a * b + c into a fused
// multiply-add (the program is built with -ffp-contract=off). u denotes 2^-53, the unit
// roundoff of double; the bounds are relative to the exact result of the same operation on
// the exact operands.
#pragma once

#include <cmath>

namespace strma::calc::dd {

struct DoubleDouble {
  double hi;
  double lo;
};

// s + e == a + b exactly, s == fl(a + b). Any a, b (Knuth's branch-free sum).
inline DoubleDouble two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  const double e = (a - (s - bb)) + (b - bb);
  return {s, e};
}

// s + e == a + b exactly, s == fl(a + b). Requires |a| >= |b| or a == 0 (Dekker).
inline DoubleDouble quick_two_sum(double a, double b) {
  const double s = a + b;
  const double e = b - (s - a);
  return {s, e};
}

// p + e == a * b exactly, p == fl(a * b): the fused multiply-add computes the rounding
// error of the product exactly.
inline DoubleDouble two_prod(double a, double b) {
  const double p = a * b;
  const double e = std::fma(a, b, -p);
  return {p, e};
}

// a + b, relative error below 3u^2 (the accurate addition: both parts summed exactly).
inline DoubleDouble add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = two_sum(a.hi, b.hi);
  const DoubleDouble t = two_sum(a.lo, b.lo);
  s.lo += t.hi;
  s = quick_two_sum(s.hi, s.lo);
  s.lo += t.lo;
  return quick_two_sum(s.hi, s.lo);
}

// -a, exact.
inline DoubleDouble neg(DoubleDouble a) { return {-a.hi, -a.lo}; }

// a - b, relative error below 3u^2.
inline DoubleDouble sub(DoubleDouble a, DoubleDouble b) { return add(a, neg(b)); }

// a * b, relative error below 4u^2 (the product of the high parts is exact, the cross
// terms are rounded, lo * lo is below u^2 of the result and dropped).
inline DoubleDouble mul(DoubleDouble a, DoubleDouble b) {
  DoubleDouble p = two_prod(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quick_two_sum(p.hi, p.lo);
}

// a * b with a double b, relative error below 3u^2.
inline DoubleDouble mul(DoubleDouble a, double b) {
  DoubleDouble p = two_prod(a.hi, b);
  p.lo += a.lo * b;
  return quick_two_sum(p.hi, p.lo);
}

// a / b, relative error below 6u^2 (three quotient digits, each remainder computed with
// the double-double product and difference above).
inline DoubleDouble div(DoubleDouble a, DoubleDouble b) {
  const double q1 = a.hi / b.hi;
  DoubleDouble r = sub(a, mul(b, q1));
  const double q2 = r.hi / b.hi;
  r = sub(r, mul(b, q2));
  const double q3 = r.hi / b.hi;
  const DoubleDouble q = quick_two_sum(q1, q2);
  return add(q, DoubleDouble{q3, 0.0});
}

// a / b with a double b, relative error below 4u^2.
inline DoubleDouble div(DoubleDouble a, double b) {
  const double q1 = a.hi / b;
  const DoubleDouble p = two_prod(q1, b);
  const DoubleDouble r = two_sum(a.hi, -p.hi);
  const double rest = ((r.hi + r.lo) - p.lo) + a.lo;
  const double q2 = rest / b;
  return quick_two_sum(q1, q2);
}

}  // namespace strma::calc::dd
