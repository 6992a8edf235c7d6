#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "recio/fixed_field.h"
#include "recio/result_record.h"

namespace {

using strma::recio::build_result_record;
using strma::recio::format_fixed_field;
using strma::recio::kResultRecordLength;

std::string field(float value) {
  char out[8];
  format_fixed_field(value, 8, 2, out);
  return std::string(out, 8);
}

struct FieldCase {
  float value;
  const char* expected;
};

// Values either side of the rounding and width limits, written as the field shows them.
TEST(FixedField, RoundsTheExactSingleHalfAwayFromZero) {
  const FieldCase cases[] = {
      {0.0f, "     .00"},       {-0.0f, "     .00"},       {0.5f, "     .50"},
      {-0.5f, "    -.50"},      {0.125f, "     .13"},      {-0.125f, "    -.13"},
      {2.375f, "    2.38"},     {0.004f, "     .00"},      {-0.004f, "     .00"},
      {0.006f, "     .01"},     {-0.006f, "    -.01"},     {0.995f, "    1.00"},
      {2.675f, "    2.67"},     {1.005f, "    1.00"},     {3.1060264f, "    3.11"},
      {45.0f, "   45.00"},      {89.99f, "   89.99"},     {12345.67f, "12345.67"},
      {99999.99f, "99999.99"},  {-1234.56f, "-1234.56"},  {-9999.99f, "-9999.99"},
      {0.45152363f, "     .45"}, {-0.25f, "    -.25"},   {-10.0f, "  -10.00"},
      {1e-45f, "     .00"},     {-1e-45f, "     .00"},
  };
  for (const FieldCase& c : cases) EXPECT_EQ(field(c.value), c.expected) << c.value;
}

TEST(FixedField, TooWideFillsWithAsterisks) {
  const float cases[] = {100000.0f, 99999.998f, -9999.996f, -10000.0f, 213157.02f,
                         53697660.0f, 1.2e23f, 3.4028235e38f, -3.4028235e38f};
  for (float value : cases) EXPECT_EQ(field(value), "********") << value;
}

struct RecordCase {
  float time, angle, height;
  const char* expected;
};

TEST(ResultRecord, HasTheFixedLayout) {
  const RecordCase cases[] = {
      {3.1060264f, 45, 10, "vreme je      3.11s  za ugao     45.00deg  sa visine     10.00m"},
      {0.45152363f, 90, 1, "vreme je       .45s  za ugao     90.00deg  sa visine      1.00m"},
      {6.3855085f, 60, 100, "vreme je      6.39s  za ugao     60.00deg  sa visine    100.00m"},
      {14.015174f, 31, 10, "vreme je     14.02s  za ugao     31.00deg  sa visine     10.00m"},
      {6740.6167f, 30, 1, "vreme je   6740.62s  za ugao     30.00deg  sa visine      1.00m"},
      {213157.02f, 30, 1000, "vreme je  ********s  za ugao     30.00deg  sa visine   1000.00m"},
      {5.452364f, 200, -10, "vreme je      5.45s  za ugao    200.00deg  sa visine    -10.00m"},
      {0.9767022f, 100000, 5, "vreme je       .98s  za ugao  ********deg  sa visine      5.00m"},
      {0, 45, 0, "vreme je       .00s  za ugao     45.00deg  sa visine       .00m"},
      {0.31929153f, 89.99f, 0.5f, "vreme je       .32s  za ugao     89.99deg  sa visine       .50m"},
  };
  for (const RecordCase& c : cases) {
    char record[kResultRecordLength];
    build_result_record(c.time, c.angle, c.height, record);
    EXPECT_EQ(std::string(record, kResultRecordLength), c.expected);
  }
}

}  // namespace
