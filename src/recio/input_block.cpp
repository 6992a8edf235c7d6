#include "recio/input_block.h"

#include <cstdint>
#include <cstring>

namespace strma::recio {

ReadError fill_input_block(InputBlock& block, InputSource& source, bool interactive) {
  block.position = 0;
  block.count = 0;
  unsigned char* const bytes = block.bytes;

  long got = source.read(bytes, kInputBlockSize);
  if (got < 0 || got > static_cast<long>(kInputBlockSize)) return ReadError::read_failed;
  if (got == 0) {
    if (!interactive && block.line_unfinished) {
      // The input ended right after a whole block without LF: that ends its line.
      block.line_unfinished = false;
      bytes[0] = kLineFeed;
      block.count = 1;
      return ReadError::none;
    }
    return ReadError::end_of_input;
  }
  std::size_t total = static_cast<std::size_t>(got);

  // A pipe gives the same lines however its writer split them: a short read without LF is
  // completed until the block is full, ends in LF, or the input ends.
  if (!interactive) {
    while (total < kInputBlockSize && bytes[total - 1] != kLineFeed) {
      const std::size_t room = kInputBlockSize - total;
      got = source.read(bytes + total, room);
      if (got < 0 || got > static_cast<long>(room)) return ReadError::read_failed;
      if (got == 0) break;
      total += static_cast<std::size_t>(got);
    }
  }

  const bool ends_in_line_feed = bytes[total - 1] == kLineFeed;
  block.count = total;
  if (total < kInputBlockSize && !ends_in_line_feed) bytes[block.count++] = kLineFeed;
  if (interactive && total == kInputBlockSize && !ends_in_line_feed)
    return ReadError::line_too_long;
  if (total > 2 && bytes[total - 3] == kCtrlZ) return ReadError::end_of_input;
  block.line_unfinished = !interactive && total == kInputBlockSize && !ends_in_line_feed;
  return ReadError::none;
}

InputCursor::InputCursor(InputBlock& block, InputSource& source, bool& line_open)
    : block_(block), source_(source), line_open_(line_open), interactive_(source.interactive()) {}

ReadError InputCursor::next(unsigned char& byte) {
  if (block_.position >= block_.count) {
    const ReadError error = fill_input_block(block_, source_, interactive_);
    if (error != ReadError::none) return error;
  }
  byte = block_.bytes[block_.position++];
  return ReadError::none;
}

ReadError InputCursor::skip_through_line_feed() {
  for (;;) {
    unsigned char byte = 0;
    const ReadError error = next(byte);
    if (error != ReadError::none) return error;
    if (byte == kLineFeed) return ReadError::none;
  }
}

ReadError InputCursor::pass_line(unsigned char line_end) {
  if (interactive_) {
    block_.position = block_.count;
  } else if (line_end != kLineFeed) {
    const ReadError error = skip_through_line_feed();
    if (error != ReadError::none) return error;
  }
  line_open_ = false;
  return ReadError::none;
}

ReadError InputCursor::discard_rest_of_line() {
  if (interactive_) {
    block_.position = block_.count;
  } else {
    const ReadError error = skip_through_line_feed();
    if (error != ReadError::none) return error;
  }
  line_open_ = false;
  return ReadError::none;
}

namespace {

constexpr std::uint64_t every_byte(unsigned char b) { return 0x0101010101010101u * b; }

// 0x80 in each byte of x that is zero, 0 in the others. Exact: adding 0x7f to the low seven
// bits of a byte never carries into the next byte.
constexpr std::uint64_t zero_bytes(std::uint64_t x) {
  constexpr std::uint64_t low7 = every_byte(0x7f);
  return ~(((x & low7) + low7) | x | low7);
}

}  // namespace

// Works on local copies (the flag written through a reference could otherwise alias the
// block). Redirected input takes eight bytes at a time while all of them are blanks, tabs or
// LFs, which is the same as taking them one by one there: each only moves the position on.
void InputCursor::skip_blanks_and_line_feeds() {
  const unsigned char* const bytes = block_.bytes;
  const std::size_t count = block_.count;
  std::size_t position = block_.position;
  bool passed_line = false;
  if (!interactive_) {
    while (count - position >= 8) {
      std::uint64_t x;
      std::memcpy(&x, bytes + position, 8);
      if (x == every_byte(kLineFeed)) {  // empty lines, the common case of a long input
        passed_line = true;
        position += 8;
        continue;
      }
      const std::uint64_t line_feeds = zero_bytes(x ^ every_byte(kLineFeed));
      const std::uint64_t skippable =
          line_feeds | zero_bytes(x ^ every_byte(' ')) | zero_bytes(x ^ every_byte('\t'));
      if (skippable != every_byte(0x80)) break;
      passed_line = passed_line || line_feeds != 0;
      position += 8;
    }
  }
  while (position < count) {
    const unsigned char c = bytes[position];
    if (c == ' ' || c == '\t') {
      ++position;
    } else if (c == kLineFeed) {
      position = interactive_ ? count : position + 1;
      passed_line = true;
    } else {
      break;
    }
  }
  block_.position = position;
  if (passed_line) line_open_ = false;
}

}  // namespace strma::recio
