#pragma once
// The lines of one input file over its read window (read_window.h), in
// file offsets: where a line ends, and taking a line whole. The line
// reader's search (line_reader.h) moves this cursor; reading line by line
// takes its lines.
//
// Every position is a file offset. The line in progress began at
// lineStart_; reading goes on at at_, which is past lineStart_ only while
// a search passes over that line.
#include <cstdint>
#include <memory>
#include <string>

#include "line_codec.h"
#include "runtime/error.h"
#include "line_reader.h"
#include "read_window.h"

namespace rt {

inline constexpr std::uint64_t kNoOffset = ~std::uint64_t{0};

class LineCursor {
 protected:
  // window holds the file's first bytes, which say its encoding
  // (ReadWindow::started).
  LineCursor(ReadWindow window, CodePage& codePage, LineLimits limits)
      : limits_(limits), window_(std::move(window)), codec_(window_.start(3), codePage),
        unit_(codec_.unit()), at_(codec_.markSize()), lineStart_(at_) {}

  // The end of the whole code units held.
  std::uint64_t unitsEnd() const { return window_.end() - window_.end() % unit_; }
  char16_t unitAt(std::uint64_t at) const { return codec_.unitAt(window_.bytes(at, at + unit_), 0); }

  // Where the first line end at or after from starts, or kNoOffset.
  std::uint64_t firstLineEnd(std::uint64_t from) const {
    const std::size_t i = codec_.firstLineEnd(window_.bytes(from, unitsEnd()));
    return i == LineCodec::npos ? kNoOffset : from + i;
  }
  // Where the last line end in [from, to) starts, or kNoOffset.
  std::uint64_t lastLineEnd(std::uint64_t from, std::uint64_t to) const {
    const std::size_t i = codec_.lastLineEnd(window_.bytes(from, to));
    return i == LineCodec::npos ? kNoOffset : from + i;
  }

  // Whether anything is left at at_, reading on when the window holds none.
  bool available() {
    while (window_.end() == at_)
      if (!window_.fill(at_)) return false;
    return true;
  }

  // A CR ended the last line: an LF right after it belongs to that line end.
  // False, unsettled, while the read for it waits, unless mayWait.
  bool settle(bool mayWait);
  // The line end at end consumed: the next line starts after it.
  void endLineAt(std::uint64_t end) {
    skipLf_ = unitAt(end) == u'\r';
    at_ = lineStart_ = end + unit_;
  }
  // The line from at_ to the line end at end, and that line end consumed.
  void takeLineTo(std::uint64_t end, std::u16string& line);
  // The line at at_, held whole and decoded into line (whose memory is
  // reused), and its line end consumed; error 7 past the longest line.
  void takeLine(std::u16string& line) {
    std::uint64_t scanned = at_;
    takeLineFrom(scanned, line, [] { return true; });
  }
  // The same in steps: false, before a read that mayRead() refuses, with
  // scanned where the line end was looked for so far, from which the next
  // call goes on (scanned starts at at_).
  template <typename MayRead>
  bool takeLineFrom(std::uint64_t& scanned, std::u16string& line, MayRead&& mayRead) {
    for (;;) {
      if (const std::uint64_t end = firstLineEnd(scanned); end != kNoOffset) {
        takeLineTo(end, line);
        return true;
      }
      scanned = unitsEnd();
      if (scanned - at_ > limits_.maxLine) throw Error(err::OutOfMemory);
      if (!mayRead()) return false;
      if (!window_.fill(at_)) {
        decode(at_, window_.end(), line);  // the last line, without a line end
        at_ = lineStart_ = window_.end();
        return true;
      }
    }
  }
  // Reading goes on at start, a line's start, read again if it began in
  // bytes already passed over. A pipe cannot be read again; the reader
  // keeps every line it may need up to the longest (maxLine), so a line
  // that began before what is held is longer than that: error 7.
  void toLineStart(std::uint64_t start) {
    if (start < window_.begin()) {
      if (!window_.canSeek()) throw Error(err::OutOfMemory);
      window_.rewind(start);
    }
    at_ = lineStart_ = start;
  }

  const LineLimits limits_;
  ReadWindow window_;
  LineCodec codec_;
  const std::size_t unit_;  // bytes per code unit
  std::uint64_t at_;
  std::uint64_t lineStart_;
  bool skipLf_ = false;

 private:
  void decode(std::uint64_t from, std::uint64_t to, std::u16string& text) const;
};

}  // namespace rt
