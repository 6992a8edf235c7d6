// The scanner of the free-form read.
#include "recio/free_form_reader.h"

#include "recio/number_text.h"
#include "recio/repeat_count.h"

namespace strma::recio {

const char* read_error_message(ReadError error) {
  switch (error) {
    case ReadError::none: return "";
    case ReadError::count_too_large: return "repeat count too large";
    case ReadError::count_bad_character: return "invalid character in repeat count";
    case ReadError::too_large_for_double: return "value too large for double precision";
    case ReadError::not_a_number: return "invalid number";
    case ReadError::beyond_single_range: return "value too large for single precision";
    case ReadError::count_second_radix: return "repeat count with a second radix mark";
    case ReadError::count_bad_radix: return "repeat count radix outside 2 to 36";
    case ReadError::line_too_long: return "input line too long";
    case ReadError::read_failed: return "reading standard input failed";
    case ReadError::end_of_input: return "end of input";
    case ReadError::count_zero: return "repeat count of zero";
    case ReadError::count_repeated: return "second repeat count for one value";
    case ReadError::constant_not_number: return "constant of the wrong type";
    case ReadError::value_too_long: return "value longer than 260 characters";
  }
  return "";
}

namespace {

#define STRMA_TRY(expression)                                \
  do {                                                       \
    const ReadError strma_error_ = (expression);             \
    if (strma_error_ != ReadError::none) return strma_error_; \
  } while (false)

bool is_blank(unsigned char c) { return c == ' ' || c == '\t'; }
bool is_line_end(unsigned char c) { return c == kCarriageReturn || c == kLineFeed; }

class Scanner {
 public:
  Scanner(InputSource& input, InputBlock& block, bool& line_open)
      : cursor_(block, input, line_open) {}

  // Serves both targets, then discards the rest of the line unless the last value scanned
  // was ended by a line end.
  ReadError read(float (&targets)[2]) {
    for (float& target : targets) {
      if (state_.repeats_left > 0) {
        --state_.repeats_left;  // the retained value again, even after a slash
      } else {
        if (&target != &targets[0] && state_.last_separator == Separator::slash) break;
        STRMA_TRY(scan_value());
      }
      STRMA_TRY(deliver(target));
    }
    if (!state_.ended_by_line_end) STRMA_TRY(cursor_.discard_rest_of_line());
    return ReadError::none;
  }

 private:
  ReadError append(unsigned char c) {
    if (state_.value_length == kValueTextLimit) return ReadError::value_too_long;
    state_.value_text[state_.value_length++] = static_cast<char>(c);
    return ReadError::none;
  }

  ReadError end_value(Separator separator) {
    state_.last_separator = separator;
    state_.after_count = false;
    return ReadError::none;
  }

  // The current value to a target: a null value leaves it, a plain value is converted, a
  // parenthesised or quoted one with content is no number.
  ReadError deliver(float& target) const {
    if (state_.value_length == 0) return ReadError::none;
    if (state_.value_form != ValueForm::plain) return ReadError::constant_not_number;
    return convert_plain_value(state_.value_text, state_.value_length, target);
  }

  ReadError scan_value() {
    state_.ended_by_line_end = false;
    state_.value_length = 0;
    state_.value_form = ValueForm::plain;
    for (;;) {
      if (state_.value_length == 0 && !state_.after_count) cursor_.skip_blanks_and_line_feeds();
      unsigned char c = 0;
      STRMA_TRY(cursor_.next(c));
      const bool line_end = is_line_end(c);
      if (line_end) STRMA_TRY(cursor_.pass_line(c));

      if (state_.value_length == 0) {  // before the first character of the value
        if (is_blank(c) || line_end) {
          if (!state_.after_count) continue;
          state_.ended_by_line_end = line_end;  // the null value right after a repeat count
          return end_value(Separator::blank);
        }
        switch (c) {
          case ',':
            if (state_.last_separator == Separator::blank && !state_.after_count) {
              state_.last_separator = Separator::comma;  // joins the blank separator
              continue;
            }
            return end_value(Separator::comma);
          case '/': return end_value(Separator::slash);
          case '(': return scan_parenthesised();
          case '\'':
          case '"': return scan_quoted(c);
          case '*':
            return state_.after_count ? ReadError::count_repeated : ReadError::count_zero;
          default: break;
        }
        STRMA_TRY(append(c));
        continue;
      }

      // Inside a plain value.
      if (is_blank(c) || line_end) {
        state_.ended_by_line_end = line_end;
        return end_value(Separator::blank);
      }
      if (c == ',') return end_value(Separator::comma);
      if (c == '/') return end_value(Separator::slash);
      if (c == '*') {
        STRMA_TRY(start_repeat());
        continue;
      }
      STRMA_TRY(append(c));
    }
  }

  // The text so far was a repeat count: what follows is the value for this target and the
  // next count - 1 targets.
  ReadError start_repeat() {
    if (state_.after_count) return ReadError::count_repeated;
    std::uint32_t count = 0;
    STRMA_TRY(read_repeat_count(state_.value_text, state_.value_length, count));
    state_.value_length = 0;
    if (count == 0) return ReadError::count_zero;
    state_.repeats_left = count - 1;
    state_.after_count = true;
    return ReadError::none;
  }

  // The next character of a constant, which may go on over lines: line ends are passed.
  ReadError next_over_lines(unsigned char& c) {
    for (;;) {
      STRMA_TRY(cursor_.next(c));
      if (!is_line_end(c)) return ReadError::none;
      STRMA_TRY(cursor_.pass_line(c));
    }
  }

  // From an opening parenthesis to the closing one (or a slash); blanks, tabs and line ends
  // inside are ignored, so the value may go on over lines.
  ReadError scan_parenthesised() {
    state_.value_form = ValueForm::parenthesised;
    for (;;) {
      unsigned char c = 0;
      STRMA_TRY(next_over_lines(c));
      if (is_blank(c)) continue;
      if (c == ')') return end_value(Separator::blank);
      if (c == '/') return end_value(Separator::slash);
      STRMA_TRY(append(c));
    }
  }

  // From a quote mark to the next same mark that is not doubled; it may go on over lines (the
  // line end is not part of it, the next line is read from its first character). The
  // character after the closing mark is the separator and is consumed, except an LF.
  ReadError scan_quoted(unsigned char mark) {
    state_.value_form = ValueForm::quoted;
    for (;;) {
      unsigned char c = 0;
      STRMA_TRY(next_over_lines(c));
      if (c != mark) {
        STRMA_TRY(append(c));
        continue;
      }
      STRMA_TRY(cursor_.next(c));
      if (c == mark) {
        STRMA_TRY(append(c));  // a doubled mark stands for one
        continue;
      }
      if (c == kLineFeed) {
        cursor_.put_back();  // remains to end the line
        return end_value(Separator::blank);
      }
      if (c == ',') return end_value(Separator::comma);
      if (c == '/') return end_value(Separator::slash);
      if (is_blank(c) || c == kCarriageReturn) return end_value(Separator::blank);
      return end_value(Separator::other);
    }
  }

  InputCursor cursor_;
  FreeFormReader state_;
};

#undef STRMA_TRY

}  // namespace

ReadError read_two_values(InputSource& input, InputBlock& block, float& first, float& second,
                          bool& line_open) {
  block.position = 0;
  block.count = 0;
  block.line_unfinished = false;
  float targets[2] = {first, second};
  Scanner scanner(input, block, line_open);
  const ReadError error = scanner.read(targets);
  if (error == ReadError::none) {
    first = targets[0];
    second = targets[1];
  }
  return error;
}

ReadError read_two_values(InputSource& input, float& first, float& second, bool& line_open) {
  InputBlock block;
  return read_two_values(input, block, first, second, line_open);
}

}  // namespace strma::recio
