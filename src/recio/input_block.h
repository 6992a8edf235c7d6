// The console input block and the line rules of the free-form read: how the block is filled
// from standard input, how a line ends and how the rest of a line is discarded.
#pragma once

#include <cstddef>

#include "recio/read_error.h"

namespace strma::recio {

// Where the reader's bytes come from: standard input in the program, bytes in the tests.
class InputSource {
 public:
  virtual ~InputSource() = default;
  // One raw read of up to `size` bytes: the count, 0 at end of input, -1 when it failed.
  virtual long read(unsigned char* buffer, std::size_t size) = 0;
  // True for an interactive device, which delivers one typed line per read.
  virtual bool interactive() const = 0;
};

constexpr std::size_t kInputBlockSize = 132;
constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kCtrlZ = 26;

// The console input buffer: the bytes of one fill, a read position and a fill count.
struct InputBlock {
  unsigned char bytes[kInputBlockSize + 1];  // one more for the LF appended to a short fill
  std::size_t position = 0;
  std::size_t count = 0;
  // Non-interactive input: the last fill was a whole block without LF, so its line is still
  // open; an end of input right after it ends that line instead of failing.
  bool line_unfinished = false;
};

// Fills `block` afresh with one fill:
// - up to 132 bytes in one request; 0 bytes is end_of_input, a failed read read_failed;
// - non-interactive input: a short read that does not end in LF is completed by further
//   requests until the block holds 132 bytes, ends in LF, or the input ends; an end of input
//   right after a whole block without LF gives a block holding one LF;
// - fewer than 132 bytes not ending in LF: an LF is appended;
// - interactive input: 132 bytes not ending in LF is line_too_long;
// - more than 2 bytes with Ctrl-Z (26) third from the end of what was read: end_of_input.
ReadError fill_input_block(InputBlock& block, InputSource& source, bool interactive);

// The reader's view of the input: one byte at a time, filling the block as needed, and the
// passing of lines. `line_open` is the console_line_open flag of the connection read from;
// it is cleared each time the rest of a line is discarded.
class InputCursor {
 public:
  InputCursor(InputBlock& block, InputSource& source, bool& line_open);

  bool interactive() const { return interactive_; }

  // The next byte, filling the block when it is used up.
  ReadError next(unsigned char& byte);

  // Gives back the byte `next` has just returned; the next request returns it again.
  void put_back() { --block_.position; }

  // A line end (CR or LF) has been taken: discards the rest of its line. Interactive input:
  // whatever remains in the block; otherwise every byte up to and including the next LF (none
  // when the line end was an LF).
  ReadError pass_line(unsigned char line_end);

  // The end of the read: discards the rest of the current line as a line end would.
  ReadError discard_rest_of_line();

  // Passes the blanks, tabs and LF line ends at the read position of the block in one go, as
  // taking them one by one with next() and pass_line() would; stops at any other byte and at
  // the end of the block. Long runs of empty lines cost a read and a short loop per block.
  void skip_blanks_and_line_feeds();

 private:
  ReadError skip_through_line_feed();

  InputBlock& block_;
  InputSource& source_;
  bool& line_open_;
  bool interactive_;
};

}  // namespace strma::recio
