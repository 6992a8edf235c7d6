// Fuzz target of the free-form reader: any bytes, interactive or not, however they arrive,
// end in two values or exactly one READ failure; never a crash, an overrun or a hang.
//
// The first input byte chooses how the rest arrives:
//   bit 0     interactive input (line-at-a-time console rules) or redirected input
//   bits 1-3  the size of each read: as much as asked, one line, or 1, 2, 3, 5, 7, 13 bytes
//   bit 4     a failed read instead of the end of input once the bytes are used up
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "recio/free_form_reader.h"

namespace {

using strma::recio::InputSource;
using strma::recio::ReadError;

constexpr std::size_t kChunkSizes[8] = {0, 0, 1, 2, 3, 5, 7, 13};  // 0: see `line_at_a_time`

class FuzzSource final : public InputSource {
 public:
  FuzzSource(const std::uint8_t* data, std::size_t size, bool interactive, unsigned chunk_mode,
             bool fail_at_end)
      : data_(data), size_(size), interactive_(interactive), chunk_(kChunkSizes[chunk_mode]),
        line_at_a_time_(chunk_mode == 1), fail_at_end_(fail_at_end) {}

  long read(unsigned char* buffer, std::size_t size) override {
    if (size == 0 || size > 132) std::abort();  // the reader asks for 1 to 132 bytes
    if (at_ == size_) {
      // The reader must stop asking soon after the input has ended.
      if (++reads_after_end_ > 2) std::abort();
      return fail_at_end_ ? -1 : 0;
    }
    std::size_t n = size_ - at_;
    if (n > size) n = size;
    if (chunk_ != 0 && n > chunk_) n = chunk_;
    if (line_at_a_time_) {
      const void* lf = std::memchr(data_ + at_, '\n', n);
      if (lf != nullptr) n = static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - (data_ + at_)) + 1;
    }
    std::memcpy(buffer, data_ + at_, n);
    at_ += n;
    return static_cast<long>(n);
  }
  bool interactive() const override { return interactive_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  bool interactive_;
  std::size_t chunk_;
  bool line_at_a_time_;
  bool fail_at_end_;
  std::size_t at_ = 0;
  int reads_after_end_ = 0;
};

bool is_read_error(ReadError error) {
  switch (error) {
    case ReadError::count_too_large:
    case ReadError::count_bad_character:
    case ReadError::too_large_for_double:
    case ReadError::not_a_number:
    case ReadError::beyond_single_range:
    case ReadError::count_second_radix:
    case ReadError::count_bad_radix:
    case ReadError::line_too_long:
    case ReadError::read_failed:
    case ReadError::end_of_input:
    case ReadError::count_zero:
    case ReadError::count_repeated:
    case ReadError::constant_not_number:
    case ReadError::value_too_long:
      return true;
    case ReadError::none:
      return false;
  }
  return false;
}

struct Outcome {
  ReadError error;
  std::uint32_t first_bits, second_bits;
  bool line_open;
};

std::uint32_t bits(float value) {
  std::uint32_t b;
  std::memcpy(&b, &value, sizeof b);
  return b;
}

Outcome read_once(const std::uint8_t* data, std::size_t size, bool interactive,
                  unsigned chunk_mode, bool fail_at_end) {
  FuzzSource source(data, size, interactive, chunk_mode, fail_at_end);
  const float first_before = 111.0f, second_before = 222.0f;
  float first = first_before, second = second_before;
  bool line_open = true;
  const ReadError error = strma::recio::read_two_values(source, first, second, line_open);
  if (error == ReadError::none) {
    if (!std::isfinite(first) || !std::isfinite(second)) std::abort();  // never inf or NaN
  } else {
    if (!is_read_error(error)) std::abort();
    if (bits(first) != bits(first_before) || bits(second) != bits(second_before)) std::abort();
    if (strma::recio::read_error_message(error)[0] == '\0') std::abort();
  }
  return {error, bits(first), bits(second), line_open};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned options = data[0];
  const bool interactive = (options & 1) != 0;
  const unsigned chunk_mode = (options >> 1) & 7;
  const bool fail_at_end = (options & 16) != 0;
  ++data;
  --size;

  const Outcome outcome = read_once(data, size, interactive, chunk_mode, fail_at_end);

  // Redirected input reads the same however it arrives (the Ctrl-Z rule looks at each fill,
  // and a failed read can come sooner when more is read ahead, so those are left out).
  if (!interactive && !fail_at_end && std::memchr(data, 26, size) == nullptr) {
    const Outcome bytewise = read_once(data, size, false, 2, false);
    if (bytewise.error != outcome.error || bytewise.line_open != outcome.line_open ||
        bytewise.first_bits != outcome.first_bits || bytewise.second_bits != outcome.second_bits)
      std::abort();
  }
  return 0;
}
