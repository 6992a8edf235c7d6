#include "recio/result_record.h"

#include "recio/fixed_field.h"
#include "recio/unit_connection.h"

namespace strma::recio {
namespace {

constexpr int kResultUnit = 10;

// Reads a decimal count at `p`, or `absent` when there is none.
int read_count(const char*& p, int absent) {
  if (*p < '0' || *p > '9') return absent;
  int count = 0;
  while (*p >= '0' && *p <= '9') count = count * 10 + (*p++ - '0');
  return count;
}

}  // namespace

// Interprets the forms the result format uses: 'literal' (a doubled apostrophe stands for
// one), nX (n blanks, X alone one), Fw.d (the next value); commas and blanks separate.
void build_result_record(float slide_time, float angle_deg, float height_m,
                         char (&out)[kResultRecordLength]) {
  const float values[] = {slide_time, angle_deg, height_m};
  int next_value = 0;
  std::size_t column = 0;
  auto put = [&](char c) {
    if (column < kResultRecordLength) out[column] = c;
    ++column;
  };

  for (const char* p = kResultFormat + 1; *p != '\0' && *p != ')';) {
    if (*p == ',' || *p == ' ') {
      ++p;
    } else if (*p == '\'') {
      for (++p; *p != '\0'; ++p) {
        if (*p == '\'') {
          if (p[1] != '\'') break;
          ++p;
        }
        put(*p);
      }
      if (*p == '\'') ++p;
    } else if (*p == 'F') {
      ++p;
      const int width = read_count(p, 0);
      if (*p == '.') ++p;
      const int decimals = read_count(p, 0);
      char field[20];
      format_fixed_field(values[next_value++], width, decimals, field);
      for (int i = 0; i < width; ++i) put(field[i]);
    } else {
      const int count = read_count(p, 1);
      if (*p == 'X') {
        for (int i = 0; i < count; ++i) put(' ');
      }
      ++p;
    }
  }
}

void write_result_record(float slide_time, float angle_deg, float height_m) {
  char record[kResultRecordLength];
  build_result_record(slide_time, angle_deg, height_m, record);
  store_record(kResultUnit, record, kResultRecordLength);
}

}  // namespace strma::recio
