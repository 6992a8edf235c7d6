// Small helpers for the tests that use MPFR as the reference.
#pragma once

#include <mpfr.h>

#include <cmath>

#include "calc/ext64.h"

namespace strma::test {

// An MPFR variable that frees itself.
class Real {
 public:
  explicit Real(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
  ~Real() { mpfr_clear(value_); }
  Real(const Real&) = delete;
  Real& operator=(const Real&) = delete;
  mpfr_ptr get() { return value_; }
  operator mpfr_ptr() { return value_; }

 private:
  mpfr_t value_;
};

// target = hi + lo exactly (target needs at least 64 bits for an Ext64; 128 are used).
inline void set_ext64(mpfr_ptr target, calc::Ext64 v) {
  mpfr_set_d(target, v.hi, MPFR_RNDN);
  mpfr_add_d(target, target, v.lo, MPFR_RNDN);
}

// |approximation - exact| in units of the last place of a 64-bit significand at the exact
// value (exact nonzero), rounded up; `scratch` holds the difference.
inline double ulps64(mpfr_srcptr approximation, mpfr_srcptr exact, mpfr_ptr scratch) {
  mpfr_sub(scratch, approximation, exact, MPFR_RNDA);
  mpfr_abs(scratch, scratch, MPFR_RNDN);
  mpfr_mul_2si(scratch, scratch, 64 - mpfr_get_exp(exact), MPFR_RNDN);
  return mpfr_get_d(scratch, MPFR_RNDU);
}

}  // namespace strma::test
