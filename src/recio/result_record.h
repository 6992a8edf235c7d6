// The formatted result record written to the result unit.
#pragma once

#include <cstddef>

namespace strma::recio {

constexpr std::size_t kResultRecordLength = 63;

// The program's one output format: three F8.2 fields between literal texts.
constexpr char kResultFormat[] =
    "('','vreme je',2X,F8.2,'s',2X,'za ugao',2X,F8.2,'deg',2X,'sa visine',2X,F8.2,'m')";

// Builds the 63 characters of the record (no line end) into `out`.
void build_result_record(float slide_time, float angle_deg, float height_m,
                         char (&out)[kResultRecordLength]);

// Builds the record and stores it on unit 10.
void write_result_record(float slide_time, float angle_deg, float height_m);

}  // namespace strma::recio
