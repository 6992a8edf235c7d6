#include "recio/input_block.h"

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

}  // namespace strma::recio
