#pragma once
// One step of a search over a read window (read_window.h), for files whose
// reads may wait on the system (a pipe, a share that stalls) and files that
// cannot seek (a pipe, whose bytes pass once). A step reads once at most,
// and makes no read that waits: its caller hears back at least once a read
// size, and whenever a read waits, and waits for it there. A file that
// cannot seek keeps what a search may still need, as it cannot read it
// again.
#include <cstdint>

#include "line_reader.h"
#include "read_window.h"

namespace rt {

class ReadSteps {
 public:
  ReadSteps(ReadWindow& window, const LineLimits& limits)
      : window_(window), limits_(limits), seekable_(window.canSeek()) {}

  // A step begins.
  void begin() { readBefore_ = window_.bytesRead(); }
  // Whether the step has read.
  bool spent() const { return window_.bytesRead() != readBefore_; }
  // Whether a read keeping the bytes from keep on may be made now: within
  // the step, and with its data there (a read that waits pauses too).
  bool mayRead(std::uint64_t keep) { return !spent() && window_.ready(keep); }
  // What a step that stopped before a read comes to.
  FileTable::Search stopped() const {
    return window_.waiting() ? FileTable::Search::Waiting : FileTable::Search::Paused;
  }

  // How long a line in progress is carried past the window's end, so that
  // a match later in it needs no second read: any line up to the longest
  // where the file cannot be read again.
  std::uint64_t carried() const { return seekable_ ? limits_.carriedLine : limits_.maxLine; }
  // Where a line tested in pieces from start, now tested up to at, is kept
  // from: its start while a file that cannot seek may still have to hold
  // it whole, otherwise where testing goes on.
  std::uint64_t keepOfPieces(std::uint64_t start, std::uint64_t at) const {
    return !seekable_ && window_.end() - start <= limits_.maxLine ? start : at;
  }

 private:
  ReadWindow& window_;
  const LineLimits& limits_;
  const bool seekable_;
  std::uint64_t readBefore_ = 0;  // the bytes read when the step began
};

}  // namespace rt
