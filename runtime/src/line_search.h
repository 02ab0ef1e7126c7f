#pragma once
// The search of the line reader (line_reader.h): over the lines of its
// cursor, in steps that read once at most and never wait.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "line_cursor.h"
#include "read_steps.h"
#include "runtime/text.h"
#include "search_plan.h"

namespace rt {

inline constexpr std::size_t kSampleSize = std::size_t{1} << 16;

// The search over the lines of the cursor it is (line_cursor.h), in steps
// (read_steps.h).
class LineSearch : LineCursor {
 public:
  using Search = FileTable::Search;

  LineSearch(ReadWindow window, CodePage& codePage, LineLimits limits)
      : LineCursor(std::move(window), codePage, limits), steps_(window_, limits_) {}

  bool atEnd() {
    settle(true);
    return drained_ || !available();
  }

  std::u16string readLine() {
    settle(true);
    resumeFrom_ = kNoOffset;
    atCandidate_ = false;
    if (piecesStart_ != kNoOffset) toLineStart(std::exchange(piecesStart_, kNoOffset));
    holdFrom_ = kNoOffset;
    std::u16string line;
    takeLine(line);
    return line;
  }

  Search search(std::u16string_view needle, std::u16string& line) {
    steps_.begin();
    const Search step = searchOn(needle, line);
    if (step != Search::Paused) [[likely]]
      return step;
    return steps_.stopped();
  }

  std::uint64_t bytesRead() const { return window_.bytesRead(); }
  Signal* readSignal() const noexcept { return window_.signal(); }
  void cancelRead() noexcept { window_.cancel(); }

 private:
  // --- The search.

  Search searchOn(std::u16string_view needle, std::u16string& line) {
    if (!settle(false)) return Search::Paused;
    const SearchPlan& plan = planFor(needle);
    if (plan.kind == SearchPlan::NoLine) {
      drained_ = true;
      return Search::End;
    }
    for (;;) {
      const bool holding = holdFrom_ != kNoOffset;
      if (!holding && piecesStart_ == kNoOffset && !std::exchange(atCandidate_, false)) {
        if (const Search step = toCandidateLine(plan); step != Search::Found) return step;
      }
      const Held held = holding ? holdOn(needle, line) : lineHolds(needle, line);
      if (held != Held::No) return held == Held::Yes ? Search::Found : Search::Paused;
      if (steps_.spent()) return Search::Paused;  // between candidate lines, which may be every line
    }
  }

  const SearchPlan& planFor(std::u16string_view needle) {
    if (!plan_ || planNeedle_ != needle) {
      // Where a search for another text paused means nothing for this one.
      resumeFrom_ = kNoOffset;
      atCandidate_ = false;
      if (piecesStart_ != kNoOffset) toLineStart(std::exchange(piecesStart_, kNoOffset));
      holdFrom_ = kNoOffset;
      planNeedle_ = needle;
      plan_ = planSearch(needle, codec_, window_.bytes(at_, std::min(window_.end(), at_ + kSampleSize)));
    }
    return *plan_;
  }

  // Moves to the start of the next line that may hold the text: Found, or
  // End at the end of the file, or Paused before a second read.
  Search toCandidateLine(const SearchPlan& plan) {
    if (window_.end() == at_ && !mayRead(at_)) return Search::Paused;
    if (!available()) return Search::End;
    if (plan.kind == SearchPlan::EachLine) return Search::Found;
    // A paused search goes on where it stopped looking, not at the start
    // of the line it carries.
    std::uint64_t from = std::exchange(resumeFrom_, kNoOffset);
    if (from < at_ || from > unitsEnd()) from = at_;
    for (;;) {
      if (const std::uint64_t hit = findCandidate(plan, from); hit != kNoOffset) {
        toStartOfLineAt(hit);
        return Search::Found;
      }
      from = passOver(plan.width());
      if (!mayRead(at_)) {
        resumeFrom_ = from;
        return Search::Paused;
      }
      if (!window_.fill(at_)) {
        at_ = lineStart_ = window_.end();
        return Search::End;
      }
    }
  }

  bool mayRead(std::uint64_t keep) { return steps_.mayRead(keep); }

  // The first candidate at or after from, or kNoOffset.
  std::uint64_t findCandidate(const SearchPlan& plan, std::uint64_t from) const {
    const std::size_t i = plan.findIn(window_.bytes(from, unitsEnd()), unit_);
    return i == std::string_view::npos ? kNoOffset : from + i;
  }

  // Nothing found from at_ to the end of what is held. Keeps the tail a
  // match could start in, and the start of the line in progress while it
  // is short; passes over the rest. Returns where the next search starts.
  std::uint64_t passOver(std::size_t width) {
    const std::uint64_t searched = unitsEnd() - std::min<std::uint64_t>(unitsEnd() - at_, width - unit_);
    if (const std::uint64_t end = lastLineEnd(at_, searched); end != kNoOffset) lineStart_ = end + unit_;
    const bool carry = lineStart_ >= at_ && searched - lineStart_ <= steps_.carried();
    at_ = carry ? lineStart_ : searched;
    return searched;
  }

  // Moves to the start of the line that holds the byte at hit.
  void toStartOfLineAt(std::uint64_t hit) {
    if (const std::uint64_t end = lastLineEnd(at_, hit); end != kNoOffset) lineStart_ = end + unit_;
    toLineStart(lineStart_);
  }


  enum class Held { Yes, No, Paused };

  // Whether the line at at_ holds needle; if so, with the line whole in
  // line. A line that does not is passed over. A line tested in pieces
  // may pause; piecesStart_ then keeps where it began.
  Held lineHolds(std::u16string_view needle, std::u16string& line) {
    if (piecesStart_ == kNoOffset) {
      if (window_.end() == at_ && !mayRead(at_)) {  // it began in bytes passed over, read again from here
        atCandidate_ = true;
        return Held::Paused;
      }
      available();
      const std::uint64_t end = firstLineEnd(at_);
      const std::uint64_t lineEnd = end != kNoOffset ? end : window_.atFileEnd() ? window_.end() : kNoOffset;
      // A line longer than the longest is tested in pieces even when the
      // window holds all of it (it may, after holding a long line): it is
      // held only if it has the text.
      if (lineEnd != kNoOffset && lineEnd - at_ <= limits_.maxLine) {
        if (end != kNoOffset) takeLineTo(end, line);
        else takeLine(line);
        return contains(line, needle) ? Held::Yes : Held::No;
      }
      piecesStart_ = at_;
      text_.clear();
    }
    const Held tested = testInPieces(needle);
    if (tested != Held::Yes) {
      if (tested == Held::No) piecesStart_ = kNoOffset;
      return tested;
    }
    toLineStart(std::exchange(piecesStart_, kNoOffset));
    holdFrom_ = at_;
    return holdOn(needle, line);
  }

  // Reads on until the line found in pieces is held whole; Paused before a
  // second read, to go on at the next call (holdFrom_ keeps how far).
  Held holdOn(std::u16string_view needle, std::u16string& line) {
    if (!takeLineFrom(holdFrom_, line, [this] { return mayRead(at_); })) return Held::Paused;
    holdFrom_ = kNoOffset;
    return contains(line, needle) ? Held::Yes : Held::No;
  }

  // Tests the line at at_, longer than what is held, a piece at a time.
  // Each piece ends where decoding can start again and is tested after the
  // last needle.size() - 1 units of the piece before, so memory stays
  // bounded however long the line. Yes as soon as needle is found (the
  // reader then stands inside the line); No with the line consumed; Paused
  // before a second read, to go on at the next call.
  Held testInPieces(std::u16string_view needle) {
    const std::size_t overlap = needle.empty() ? 0 : needle.size() - 1;
    for (std::uint64_t from = at_;;) {
      const std::uint64_t end = firstLineEnd(from);
      std::uint64_t cut = end;
      if (end == kNoOffset) {
        from = unitsEnd();
        cut = window_.atFileEnd() ? window_.end() : at_ + codec_.safeCut(window_.bytes(at_, from));
      }
      if (cut > at_) {
        // Not decode(): a piece is never held as a line, so the longest
        // line does not bound it; the window does.
        codec_.decode(window_.bytes(at_, cut), piece_);
        text_.erase(0, text_.size() - std::min(text_.size(), overlap));
        text_ += piece_;
        if (contains(text_, needle)) return Held::Yes;
        at_ = cut;
      }
      if (end != kNoOffset) {
        endLineAt(end);
        return Held::No;
      }
      if (window_.atFileEnd()) {
        lineStart_ = at_;
        return Held::No;
      }
      if (window_.end() - at_ > limits_.maxLine) throw Error(err::OutOfMemory);  // nowhere to cut it
      const std::uint64_t keep = steps_.keepOfPieces(piecesStart_, at_);
      if (!mayRead(keep)) return Held::Paused;
      window_.fill(keep);
    }
  }

  ReadSteps steps_;
  bool drained_ = false;  // nothing more can be found
  bool atCandidate_ = false;  // paused at the start of a line to test
  // A search's pause: where a paused search goes on looking; the start of
  // a line paused in pieces; how far a line found in pieces is held.
  std::uint64_t resumeFrom_ = kNoOffset, piecesStart_ = kNoOffset, holdFrom_ = kNoOffset;

  std::u16string planNeedle_;
  std::optional<SearchPlan> plan_;
  std::u16string text_, piece_;  // testInPieces' buffers
};

}  // namespace rt
