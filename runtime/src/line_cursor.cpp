#include "line_cursor.h"

#include "runtime/error.h"

namespace rt {

bool LineCursor::settle(bool mayWait) {
  if (!skipLf_) return true;
  while (window_.end() - at_ < unit_) {
    if (!mayWait && !window_.ready(at_)) return false;
    if (!window_.fill(at_)) {
      skipLf_ = false;
      return true;
    }
  }
  skipLf_ = false;
  if (unitAt(at_) == u'\n') at_ = lineStart_ = at_ + unit_;
  return true;
}

void LineCursor::takeLineTo(std::uint64_t end, std::u16string& line) {
  decode(at_, end, line);
  endLineAt(end);
}

void LineCursor::decode(std::uint64_t from, std::uint64_t to, std::u16string& text) const {
  if (to - from > limits_.maxLine) throw Error(err::OutOfMemory);
  codec_.decode(window_.bytes(from, to), text);
}

}  // namespace rt
