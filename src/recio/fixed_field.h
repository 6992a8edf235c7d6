// The fixed-point output field (Fw.d) of the result record.
#pragma once

namespace strma::recio {

// Writes `value` into exactly `width` characters at `out` with `decimals` fraction digits:
// the exact value of the single rounded to a multiple of 10^-decimals, halfway cases away
// from zero; a minus sign only when the rounded magnitude is not zero; no digit before the
// point when the integer part is 0; right-justified with blanks; `width` asterisks when the
// text does not fit. `value` must be finite; `decimals` at most 6, `width` at most 20.
void format_fixed_field(float value, int width, int decimals, char* out);

}  // namespace strma::recio
