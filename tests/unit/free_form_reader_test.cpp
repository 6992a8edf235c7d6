// The free-form read of the two values, fed with bytes through a test input source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "recio/free_form_reader.h"

namespace {

using strma::recio::InputSource;
using strma::recio::read_two_values;
using strma::recio::ReadError;

// How the bytes arrive.
enum class Feed {
  terminal,  // interactive; each read delivers one line up to and including its LF
  console,   // interactive, but each read delivers as much as asked (several lines at once)
  whole,     // non-interactive; each read delivers as much as asked
  bytewise,  // non-interactive; each read delivers one byte (a pipe written byte by byte)
};

class BytesSource final : public InputSource {
 public:
  BytesSource(std::string bytes, Feed feed) : bytes_(std::move(bytes)), feed_(feed) {}
  // Input delivered in the given chunks, one (or part of one) per read.
  BytesSource(std::vector<std::string> chunks, Feed feed)
      : chunks_(std::move(chunks)), feed_(feed) {
    for (const std::string& c : chunks_) bytes_ += c;
  }

  long read(unsigned char* buffer, std::size_t size) override {
    ++reads;
    if (fail_at_end && at_ == bytes_.size()) return -1;
    std::size_t n = std::min(size, bytes_.size() - at_);
    if (!chunks_.empty()) {
      if (chunk_ >= chunks_.size()) return 0;
      n = std::min(size, chunks_[chunk_].size() - in_chunk_);
      in_chunk_ += n;
      if (in_chunk_ == chunks_[chunk_].size()) ++chunk_, in_chunk_ = 0;
    } else if (feed_ == Feed::bytewise) {
      n = std::min<std::size_t>(n, 1);
    } else if (feed_ == Feed::terminal) {
      const std::size_t lf = bytes_.find('\n', at_);
      if (lf != std::string::npos) n = std::min(n, lf + 1 - at_);
    }
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<long>(n);
  }
  bool interactive() const override { return feed_ == Feed::terminal || feed_ == Feed::console; }

  std::size_t consumed() const { return at_; }
  int reads = 0;
  bool fail_at_end = false;

 private:
  std::string bytes_;
  std::vector<std::string> chunks_;
  std::size_t chunk_ = 0, in_chunk_ = 0;
  Feed feed_;
  std::size_t at_ = 0;
};

// Targets start at these values, so that "keeps its value" is told apart from "set to 0".
constexpr float kAngleBefore = 111.0f;
constexpr float kHeightBefore = 222.0f;
constexpr float K1 = kAngleBefore;
constexpr float K2 = kHeightBefore;

struct Outcome {
  ReadError error = ReadError::none;
  float angle = kAngleBefore;
  float height = kHeightBefore;
  bool line_open = true;
  std::size_t consumed = 0;  // bytes taken from the source
};

Outcome read(InputSource& source) {
  Outcome o;
  o.error = read_two_values(source, o.angle, o.height, o.line_open);
  return o;
}

Outcome read(const std::string& bytes, Feed feed) {
  BytesSource source(bytes, feed);
  Outcome o = read(source);
  o.consumed = source.consumed();
  return o;
}

const char* feed_name(Feed feed) {
  switch (feed) {
    case Feed::terminal: return "terminal";
    case Feed::console: return "console";
    case Feed::whole: return "whole";
    case Feed::bytewise: return "bytewise";
  }
  return "";
}

bool same_float(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;  // -0.0 and 0.0 differ
}

struct Row {
  const char* input;
  ReadError error;
  float angle;   // expected when error is none
  float height;
};

const std::vector<Feed> kEveryFeed = {Feed::terminal, Feed::whole, Feed::bytewise};
const std::vector<Feed> kRedirected = {Feed::whole, Feed::bytewise};

// Runs each row with each kind of feed; every row must read the same on all of them.
void expect_rows(const std::vector<Row>& rows, const std::vector<Feed>& feeds = kEveryFeed) {
  for (const Row& row : rows) {
    for (Feed feed : feeds) {
      const Outcome o = read(row.input, feed);
      SCOPED_TRACE("input \"" + std::string(row.input) + "\", feed " + feed_name(feed));
      EXPECT_EQ(static_cast<int>(o.error), static_cast<int>(row.error));
      if (row.error == ReadError::none) {
        EXPECT_TRUE(same_float(o.angle, row.angle)) << o.angle << " wanted " << row.angle;
        EXPECT_TRUE(same_float(o.height, row.height)) << o.height << " wanted " << row.height;
      } else {
        EXPECT_TRUE(same_float(o.angle, kAngleBefore) && same_float(o.height, kHeightBefore))
            << "a failed read changed a target";
      }
    }
  }
}

constexpr ReadError OK = ReadError::none;

TEST(FreeFormReader, SeparatorsAndNullValues) {
  expect_rows({
      {"30 45\n", OK, 30, 45},
      {"30 45\r\n", OK, 30, 45},
      {"30\t45\n", OK, 30, 45},
      {"   \t 30    45   \n", OK, 30, 45},
      {"\n \t\n\r\n30\n\n45\n", OK, 30, 45},  // empty and blank lines are passed over
      {"30\n45\n", OK, 30, 45},
      {"30,\n45\n", OK, 30, 45},               // comma at the end of the line
      {"30,,\n", OK, 30, K2},
      {"30 , , 45\n", OK, 30, K2},
      {"30 , 45,\n", OK, 30, 45},
      {"30\n,45\n", OK, 30, 45},               // a comma after a line end joins it
      {",45\n", OK, K1, 45},
      {" ,45\n", OK, K1, 45},
      {",,\n", OK, K1, K2},
      {"30,5 10\n", OK, 30, 5},
      {"/\n", OK, K1, K2},
      {"30/45\n", OK, 30, K2},
      {"30 /\n", OK, 30, K2},
      {",/ 45\n", OK, K1, K2},
      {"30;45\n", ReadError::not_a_number, 0, 0},
      {"30 45", OK, 30, 45},                   // last line without line end
  });
}

TEST(FreeFormReader, RepeatCounts) {
  expect_rows({
      {"2*45\n", OK, 45, 45},
      {"-2*45\n", OK, 45, 45},       // the count is 4294967294
      {"+2*45\n", OK, 45, 45},
      {"1*45 60\n", OK, 45, 60},
      {"1* 45\n", OK, K1, 45},
      {"2* 45\n", OK, K1, K2},
      {"2*\n", OK, K1, K2},          // no further line is taken
      {"30 1*\n", OK, 30, K2},
      {"1*,45\n", OK, K1, 45},        // a comma after a count is a null value of its own
      {"2*,45\n", OK, K1, K2},
      {"1*\n45\n", OK, K1, 45},
      {"16#2*7\n", OK, 7, 7},
      {"#2*7\n", OK, 7, 7},           // an empty radix is 16
      {"0#2*7\n", OK, 7, 7},
      {"2#10*7\n", OK, 7, 7},
      {"36#z*7\n", OK, 7, 7},
      {"16#FfFfFfFf*7\n", OK, 7, 7},  // -1: every later target
      {"2147483647*7\n", OK, 7, 7},
      {"-2147483648*7\n", OK, 7, 7},
      {"2*5/\n", OK, 5, 5},           // a repeat goes on after a slash
      {"2*/\n", OK, K1, K2},
      {"1*5/ 9\n", OK, 5, K2},
      {"2*()\n", OK, K1, K2},
      {"2*''\n", OK, K1, K2},
      {"2*1e-50\n", OK, 0, 0},
  });
}

TEST(FreeFormReader, RepeatCountErrors) {
  expect_rows({
      {"2*3*4\n", ReadError::count_repeated, 0, 0},
      {"1*3*4\n", ReadError::count_repeated, 0, 0},
      {"2**4\n", ReadError::count_repeated, 0, 0},
      {"0*5\n", ReadError::count_zero, 0, 0},
      {"*5\n", ReadError::count_zero, 0, 0},
      {"30 *5\n", ReadError::count_zero, 0, 0},
      {"-0*5\n", ReadError::count_zero, 0, 0},
      {"+*5\n", ReadError::count_zero, 0, 0},
      {"16#*5\n", ReadError::count_zero, 0, 0},
      {"2147483648*5\n", ReadError::count_too_large, 0, 0},
      {"-2147483649*5\n", ReadError::count_too_large, 0, 0},
      {"99999999999999999999*5\n", ReadError::count_too_large, 0, 0},
      {"16#100000000*5\n", ReadError::count_too_large, 0, 0},
      {"2#111111111111111111111111111111111*5\n", ReadError::count_too_large, 0, 0},
      {"a*5\n", ReadError::count_bad_character, 0, 0},
      {"1.5*5\n", ReadError::count_bad_character, 0, 0},
      {"2e1*5\n", ReadError::count_bad_character, 0, 0},
      {"1+1*5\n", ReadError::count_bad_character, 0, 0},
      {"8#8*5\n", ReadError::count_bad_character, 0, 0},
      {"16#g*5\n", ReadError::count_bad_character, 0, 0},
      {"99999999999x*5\n", ReadError::count_bad_character, 0, 0},  // characters come first
      {"16#1#2*5\n", ReadError::count_second_radix, 0, 0},
      {"##*5\n", ReadError::count_second_radix, 0, 0},
      {"1#1*5\n", ReadError::count_bad_radix, 0, 0},
      {"37#1*5\n", ReadError::count_bad_radix, 0, 0},
      {"99999999999#1*5\n", ReadError::count_bad_radix, 0, 0},
  });
}

TEST(FreeFormReader, ParenthesisedAndQuotedConstants) {
  expect_rows({
      {"(30,45)\n", ReadError::constant_not_number, 0, 0},
      {"'30'\n", ReadError::constant_not_number, 0, 0},
      {"\"30\"\n", ReadError::constant_not_number, 0, 0},
      {"'''' 45\n", ReadError::constant_not_number, 0, 0},  // a doubled mark is content
      {"'\"' 45\n", ReadError::constant_not_number, 0, 0},
      {"(\n30)\n", ReadError::constant_not_number, 0, 0},
      {"'\n3'\n", ReadError::constant_not_number, 0, 0},    // the continuation keeps its 3
      {"30 (1/\n", ReadError::constant_not_number, 0, 0},
      {"() 45\n", OK, K1, 45},
      {"()45\n", OK, K1, 45},
      {"( \t\n ) 45\n", OK, K1, 45},
      {"'' 45\n", OK, K1, 45},
      {"\"\" 45\n", OK, K1, 45},
      {"''45\n", OK, K1, 5},        // the 4 after the closing mark is the separator
      {"''\n45\n", OK, K1, 45},
      {"'',45\n", OK, K1, 45},
      {"''/45\n", OK, K1, K2},
      {"(/45\n", OK, K1, K2},
      {"'\n' 45\n", OK, K1, 45},    // a line end is not part of a quoted value
      {"30 ''\n", OK, 30, K2},
      {"30 ()\n", OK, 30, K2},
      {"30(\n", ReadError::not_a_number, 0, 0},    // inside a plain value: a character
      {"30'' 4\n", ReadError::not_a_number, 0, 0},
  });
}

TEST(FreeFormReader, NumberForms) {
  expect_rows({
      {"3e1 3E+1\n", OK, 30, 30},
      {"3d1 3D1\n", OK, 30, 30},
      {"3+1 300-1\n", OK, 30, 30},
      {".3e2 30.\n", OK, 30, 30},
      {"1.5+3 25-1\n", OK, 1500, 2.5f},
      {"+30.5 -.5\n", OK, 30.5f, -0.5f},
      {"0030 3e-0\n", OK, 30, 3},
      {"1e00000000000000000000002 0.00000000000000000000000000000000000003e38\n", OK, 100, 3},
      {"abc 45\n", ReadError::not_a_number, 0, 0},
      {"30abc\n", ReadError::not_a_number, 0, 0},
      {". 45\n", ReadError::not_a_number, 0, 0},
      {"- 45\n", ReadError::not_a_number, 0, 0},
      {"+\n", ReadError::not_a_number, 0, 0},
      {"1e\n", ReadError::not_a_number, 0, 0},
      {"1e+\n", ReadError::not_a_number, 0, 0},
      {"1+\n", ReadError::not_a_number, 0, 0},
      {"1.5.2\n", ReadError::not_a_number, 0, 0},
      {"T\n", ReadError::not_a_number, 0, 0},
      {"e5\n", ReadError::not_a_number, 0, 0},
      {"1e5.0\n", ReadError::not_a_number, 0, 0},
      {"1e+-5\n", ReadError::not_a_number, 0, 0},
      {"1ee5\n", ReadError::not_a_number, 0, 0},
      {"--1\n", ReadError::not_a_number, 0, 0},
      {"0x10\n", ReadError::not_a_number, 0, 0},
      {"inf\n", ReadError::not_a_number, 0, 0},
      {"30 4)\n", ReadError::not_a_number, 0, 0},
  });
}

TEST(FreeFormReader, RangeBoundaries) {
  const float largest = 3.40282347e38f;
  const float smallest_subnormal = std::nextafter(0.0f, 1.0f);
  expect_rows({
      {"3.4028234e38 -3.4028234e38\n", OK, largest, -largest},
      {"3.4028234663852886e38 3.402823466385289e38\n", OK, largest, largest},
      {"3.4028235e38\n", ReadError::beyond_single_range, 0, 0},
      {"-3.4028235e38\n", ReadError::beyond_single_range, 0, 0},
      {"3.4028234663852894e38\n", ReadError::beyond_single_range, 0, 0},
      {"1e39\n", ReadError::beyond_single_range, 0, 0},
      {"1e308\n", ReadError::beyond_single_range, 0, 0},
      {"1e309\n", ReadError::too_large_for_double, 0, 0},
      {"-1e309\n", ReadError::too_large_for_double, 0, 0},
      {"1.7976931348623159e308\n", ReadError::too_large_for_double, 0, 0},
      {"1e6000\n", ReadError::too_large_for_double, 0, 0},
      {"0.0001e5205\n", ReadError::too_large_for_double, 0, 0},  // 5205 is taken as 5201
      {"1e-50 1e-6000\n", OK, 0, 0},
      {"-1e-50 -1e-320\n", OK, -0.0f, -0.0f},
      {"1e-45 -1e-45\n", OK, smallest_subnormal, -smallest_subnormal},
      {"7e-46 7.1e-46\n", OK, 0, smallest_subnormal},  // half the subnormal: to even, zero
      {"1.1754942e-38 1.17549435e-38\n", OK, 1.1754942e-38f, 1.17549435e-38f},
      {"-0 -0.0e0\n", OK, -0.0f, -0.0f},
      {"0 0e99999\n", OK, 0, 0},
      {"16777217 16777219\n", OK, 16777216, 16777220},  // ties to even
      {"0.1 1.00000006\n", OK, 0.1f, 1.00000006f},
  });
}

// At most 24 significant digits take part; the 25th rounds the 24th half up.
TEST(FreeFormReader, TwentyFourSignificantDigits) {
  // 2^24 + 1 is a tie between two singles; digits beyond the 24th cannot move it.
  expect_rows({
      {"16777217.0000000000000001 16777217.00000000000000001\n", OK, 16777216, 16777216},
      // 0.(25 nines) rounds to exactly 1; 24 nines alone are just below 1 in double too.
      {"0.9999999999999999999999999/\n", OK, 1, K2},
      {"99999999999999999999999999999 0.000999999999999999999999999999\n", OK, 1e29f, 1e-3f},
      {"000000000000000000000000000000000001.5 1234567890123456789012345678901234567890e-30\n",
       OK, 1.5f, 1234567890.1f},
  });
}

// A value may hold 260 characters; more fail with F6103 and a message of their own. On a
// terminal only a constant continued over lines can be that long.
TEST(FreeFormReader, ValueTextLimit) {
  const std::string seven_260 = std::string(259, '0') + "7";
  std::string constant_261 = "(";
  for (int i = 0; i < 28; ++i) constant_261 += "123456789\n";
  const std::string constant_260 = constant_261 + "12345678\n";
  constant_261 += "123456789\n)\n";
  expect_rows({
      {(seven_260 + " 45\n").c_str(), OK, 7, 45},
      {(std::string(260, '1') + "1\n").c_str(), ReadError::value_too_long, 0, 0},
      {(std::string(261, '1') + "*5\n").c_str(), ReadError::value_too_long, 0, 0},
      {("2*" + std::string(400, '0')).c_str(), ReadError::value_too_long, 0, 0},
  }, kRedirected);
  expect_rows({
      {(constant_260 + ")\n").c_str(), ReadError::constant_not_number, 0, 0},
      {constant_261.c_str(), ReadError::value_too_long, 0, 0},
  });
  expect_rows({{("'" + std::string(522, '\'') + "' 1 2\n").c_str(), ReadError::value_too_long, 0, 0},
               {("'" + std::string(520, '\'') + "' 1 2\n").c_str(), ReadError::constant_not_number, 0, 0}},
              kRedirected);
  EXPECT_EQ(strma::recio::read_error_number(ReadError::value_too_long), 6103);
  EXPECT_EQ(strma::recio::read_error_number(ReadError::not_a_number), 6103);
  EXPECT_STREQ(strma::recio::read_error_message(ReadError::value_too_long),
               "value longer than 260 characters");
}

// Filling the block: end of input, Ctrl-Z, line length and failed reads.
TEST(FreeFormReader, FillingTheBlock) {
  const std::string blanks_126(126, ' ');
  expect_rows({
      {"", ReadError::end_of_input, 0, 0},
      {"30\n", ReadError::end_of_input, 0, 0},
      {"30 ", ReadError::end_of_input, 0, 0},
      {"\n \n", ReadError::end_of_input, 0, 0},
      {"\x1a\r\n", ReadError::end_of_input, 0, 0},          // a line holding only Ctrl-Z
      {"30 45\x1a\r\n", ReadError::end_of_input, 0, 0},     // Ctrl-Z before CR LF ends the input
      {"30\n\x1a\r\n", ReadError::end_of_input, 0, 0},
      {"\x1a\n", ReadError::not_a_number, 0, 0},            // not third from the end
      {"30 45\x1a\n", ReadError::not_a_number, 0, 0},
      {"\x1a 30 45\n", ReadError::not_a_number, 0, 0},
      {("30 45" + blanks_126 + "\n").c_str(), OK, 30, 45},  // 132 bytes ending in LF
  });
  // A line of 132 characters or more fits no interactive fill, even with valid values first;
  // redirected input reads it.
  const std::string long_line = "30 45" + blanks_126 + " \n";
  EXPECT_EQ(read(long_line, Feed::terminal).error, ReadError::line_too_long);
  EXPECT_EQ(read(long_line, Feed::console).error, ReadError::line_too_long);
  EXPECT_EQ(read("\n" + long_line, Feed::terminal).error, ReadError::line_too_long);
  for (Feed feed : kRedirected) {
    const Outcome o = read(long_line, feed);
    EXPECT_EQ(o.error, OK);
    EXPECT_EQ(o.height, 45);
  }
  // A read that fails, at once or while a redirected line is being completed.
  for (Feed feed : kEveryFeed) {
    for (const char* input : {"", "30 ", "30\n", "30 4"}) {
      if (feed == Feed::terminal && std::strcmp(input, "30 4") == 0) continue;  // a whole line
      BytesSource source(input, feed);
      source.fail_at_end = true;
      EXPECT_EQ(read(source).error, ReadError::read_failed) << input << feed_name(feed);
    }
  }
}

// Redirected input gives the same lines however its writer split the bytes, and a last line
// without LF is a line whatever its length. A terminal delivers whole lines: a short read is
// a line of its own.
TEST(FreeFormReader, RedirectedLinesDoNotDependOnHowTheyArrive) {
  const std::string blanks(127, ' ');
  struct Case {
    std::vector<std::string> chunks;
    Feed feed;
    ReadError error;
    float angle, height;
  };
  const Case cases[] = {
      {{"30 4", "5"}, Feed::whole, OK, 30, 45},
      {{"30 4", "5\n"}, Feed::whole, OK, 30, 45},
      {{"3", "0", " ", "4", "5", "\n", "60\n"}, Feed::whole, OK, 30, 45},
      {{"30 4", "5\n"}, Feed::terminal, OK, 30, 4},
      {{"30 45" + blanks}, Feed::whole, OK, 30, 45},           // 132 bytes, no line end
      {{"30 45", blanks}, Feed::whole, OK, 30, 45},
      {{"30" + blanks + "   "}, Feed::whole, ReadError::end_of_input, 0, 0},
      {{"30" + blanks + "   45" + blanks}, Feed::whole, OK, 30, 45},  // two whole blocks
      {{"30" + blanks + "   ", ",45\n"}, Feed::whole, OK, 30, 45},    // a line of 136 bytes
      {{"30" + blanks + "   45"}, Feed::whole, OK, 30, 45},
      {{"(" + blanks + "    ", ")/"}, Feed::whole, OK, K1, K2},
  };
  for (const Case& c : cases) {
    BytesSource source(c.chunks, c.feed);
    const Outcome o = read(source);
    SCOPED_TRACE(c.chunks[0]);
    EXPECT_EQ(o.error, c.error);
    if (c.error == OK) {
      EXPECT_EQ(o.angle, c.angle);
      EXPECT_EQ(o.height, c.height);
    }
  }
}

// After a line end the rest of the line is discarded: on an interactive console the rest of
// the block, on redirected input every byte up to and including the next LF.
TEST(FreeFormReader, DiscardingTheRestOfALine) {
  expect_rows({
      {"30\r45\n60 70\n", OK, 30, 60},      // a CR alone ends the line
      {"30 45 60\n70\n", OK, 30, 45},
      {"30 1*\r\n45\n", OK, 30, K2},
  });
  // Two lines in one interactive read: the second is part of the block and goes too.
  EXPECT_EQ(read("30\n45\n", Feed::console).error, ReadError::end_of_input);
  EXPECT_EQ(read("30\n45\n", Feed::whole).height, 45);
  EXPECT_EQ(read("30\r45\n60\n", Feed::console).error, ReadError::end_of_input);
  EXPECT_EQ(read("30\r45\n60\n", Feed::whole).height, 60);

  // Where the read stops: nothing after the line that ended it is taken.
  struct Case {
    const char* input;
    std::size_t consumed;
  };
  for (const Case& c : {Case{"30 45\n60\n", 6}, Case{"30 45 60\n70\n", 9}, Case{"2*\n45\n", 3},
                        Case{"30 2*\n45\n", 6}, Case{"/ 30\n45\n", 5}, Case{"30 ''\n45\n", 6},
                        Case{"\n\n30\n45\n60\n", 8}, Case{"30 45\r\n60\n", 7}}) {
    for (Feed feed : {Feed::terminal, Feed::bytewise}) {
      const Outcome o = read(c.input, feed);
      EXPECT_EQ(o.error, OK) << c.input;
      EXPECT_EQ(o.consumed, c.consumed) << c.input << feed_name(feed);
    }
  }
}

// console_line_open is cleared once the read has passed a line, and only then: a failure on
// the first line before its line end leaves it set.
TEST(FreeFormReader, LineOpenFlag) {
  struct Case {
    const char* input;
    ReadError error;
    bool line_open;
  };
  const Case cases[] = {
      {"30 45\n", OK, false},
      {"30 45 60\n", OK, false},
      {"/\n", OK, false},
      {"", ReadError::end_of_input, true},
      {"abc 45\n", ReadError::not_a_number, true},
      {"abc\n", ReadError::not_a_number, false},
      {"abc,\n", ReadError::not_a_number, true},
      {"30\n", ReadError::end_of_input, false},
      {"\nabc 45\n", ReadError::not_a_number, false},
      {"1*1*\n", ReadError::count_repeated, true},
      {"(1\n2)\n", ReadError::constant_not_number, false},
      {"'1' 2\n", ReadError::constant_not_number, true},
      {"1e39\n", ReadError::beyond_single_range, false},
      {"\x1a\r\n", ReadError::end_of_input, true},
  };
  for (const Case& c : cases) {
    for (Feed feed : kEveryFeed) {
      const Outcome o = read(c.input, feed);
      EXPECT_EQ(o.error, c.error) << c.input << feed_name(feed);
      EXPECT_EQ(o.line_open, c.line_open) << c.input << feed_name(feed);
    }
  }
  const Outcome too_long = read(std::string(140, '1') + "\n", Feed::terminal);
  EXPECT_EQ(too_long.error, ReadError::line_too_long);
  EXPECT_TRUE(too_long.line_open);
}

// Long runs of blanks, tabs and empty lines before a value are passed in one go on redirected
// input: the value may start at any offset, a CR among them still discards the rest of its
// line, and the line flag is cleared exactly when an LF was among them.
TEST(FreeFormReader, RunsOfSeparatorsBeforeAValue) {
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string blanks, with_line_feed;
    for (std::size_t i = 0; i < length; ++i) blanks += i % 3 == 0 ? '\t' : ' ';
    with_line_feed = blanks + "\n" + blanks;
    for (Feed feed : kEveryFeed) {
      SCOPED_TRACE(std::to_string(length) + " separators, feed " + feed_name(feed));
      Outcome o = read(with_line_feed + "30" + with_line_feed + "45\n", feed);
      EXPECT_EQ(o.error, OK);
      EXPECT_EQ(o.angle, 30);
      EXPECT_EQ(o.height, 45);
      if (feed != Feed::terminal) {
        o = read(blanks + "\r9 9\n" + blanks + "30 45\n", feed);
        EXPECT_EQ(o.angle, 30);
        EXPECT_EQ(o.height, 45);
      }
      EXPECT_TRUE(read(blanks + "abc 45\n", feed).line_open);
      EXPECT_FALSE(read(with_line_feed + "abc 45\n", feed).line_open);
    }
  }
}

}  // namespace
