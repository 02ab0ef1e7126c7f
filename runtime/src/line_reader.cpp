#include "line_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "byte_scan.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace rt {
namespace {

constexpr std::size_t kSampleSize = std::size_t{1} << 16;
constexpr std::size_t npos = std::string::npos;

enum class Encoding { CodePage, Utf8, Utf16 };

// How a search finds the lines worth decoding in the raw bytes. Each line
// found is decoded and tested, so the bytes may find more than the needle.
struct Pattern {
  enum Kind {
    NoLine,     // the needle holds a line end: no line can hold it
    EachLine,   // nothing to look for first: each line is tested
    Bytes,      // bytes that every line holding the needle holds
    HighByte,   // only lines with a byte of 0x80 or above can hold it
  } kind = NoLine;
  std::string bytes;
  scan::Probe probe;
};

bool isSurrogatePair(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
}

std::string utf16FromUnits(std::u16string_view units, bool bigEndian) {
  std::string bytes;
  for (char16_t u : units) {
    const auto low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace

class LineReader::Impl {
 public:
  Impl(std::unique_ptr<File> file, FileSystem& fs, Limits limits)
      : file_(std::move(file)), fs_(fs), limits_(limits), baseCapacity_(2 * limits.readSize) {
    while (end_ < 3 && fill()) {
    }
    const std::string_view start(buf_.get(), end_);
    if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
      encoding_ = Encoding::Utf16;
      bigEndian_ = start[0] == '\xFE';
      unit_ = 2;
      pos_ = 2;
    } else if (start.substr(0, 3) == "\xEF\xBB\xBF") {
      encoding_ = Encoding::Utf8;
      pos_ = 3;
    }
    lineStart_ = pos_;
  }

  bool atEnd() {
    settle();
    return drained_ || !available();
  }

  std::u16string readLine() {
    settle();
    std::u16string line;
    takeLine(line);
    return line;
  }

  bool readLineContaining(std::u16string_view needle, std::u16string& line) {
    settle();
    const Pattern& pattern = patternFor(needle);
    switch (pattern.kind) {
      case Pattern::NoLine:
        drained_ = true;
        return false;
      case Pattern::EachLine:
        while (!atEnd()) {
          takeLine(line);
          if (contains(line, needle)) return true;
        }
        return false;
      default:
        break;
    }
    const std::size_t width = pattern.kind == Pattern::Bytes ? pattern.bytes.size() : 1;
    std::size_t scanned = 0;  // from pos_
    for (;;) {
      const std::size_t hit = findCandidate(pattern, pos_ + scanned);
      if (hit == npos) {
        // Nothing here. Keep the tail that a match could start in, and the
        // start of the line in progress while it is short; pass over the rest.
        const std::size_t tail = std::min(dataEnd() - pos_, width - unit_);
        const std::size_t searched = dataEnd() - tail;
        const std::size_t lastEnd = lastLineEndIn(pos_, searched);
        lineStart_ = lastEnd != npos ? base_ + lastEnd + unit_ : lineStart_;
        // A search carries a short line in progress past the buffer's end, so
        // that a match later in it needs no second read.
        std::size_t keep = searched;
        if (lineStart_ >= base_ + pos_ && base_ + searched - lineStart_ <= limits_.carriedLine) keep = lineStart_ - base_;
        scanned = searched - keep;
        pos_ = keep;
        if (!fill()) {
          pos_ = end_;
          return false;
        }
        continue;
      }
      const std::size_t lastEnd = lastLineEndIn(pos_, hit);
      if (lastEnd != npos) {
        pos_ = lastEnd + unit_;
        lineStart_ = base_ + pos_;
      } else if (lineStart_ < base_ + pos_) {
        // The line began in data already passed over: read it again.
        if (base_ + hit + width - lineStart_ > limits_.maxLine) throw Error(err::OutOfMemory);
        rewindTo(lineStart_);
      }
      takeLine(line);
      if (contains(line, needle)) return true;
      settle();
      scanned = 0;
    }
  }

 private:
  // The unread data is buf_[pos_, end_); buf_[0] lies at file offset base_.
  // fill() keeps that data, moves it to the front, and reads more after it.
  bool fill() {
    if (eof_) return false;
    const std::size_t held = end_ - pos_;
    const std::size_t want = held + limits_.readSize;
    std::size_t size = capacity_;
    if (capacity_ < want)
      size = std::max({want, 2 * capacity_, baseCapacity_});  // doubling: a long held line is copied in linear time
    else if (capacity_ > baseCapacity_ && want <= baseCapacity_)
      size = baseCapacity_;  // done with a long line
    if (size != capacity_) {
      auto other = std::make_unique_for_overwrite<char[]>(size);
      if (held != 0) std::memcpy(other.get(), buf_.get() + pos_, held);
      buf_ = std::move(other);
      capacity_ = size;
    } else if (pos_ != 0 && held != 0) {
      std::memmove(buf_.get(), buf_.get() + pos_, held);
    }
    base_ += pos_;
    pos_ = 0;
    end_ = held;
    const std::size_t got = file_->read(buf_.get() + end_, capacity_ - end_);
    if (got == 0) {
      eof_ = true;
      return false;
    }
    end_ += got;
    return true;
  }

  // Reads again from offset, which becomes the start of the unread data.
  void rewindTo(std::uint64_t offset) {
    file_->seek(offset);
    base_ = lineStart_ = offset;
    pos_ = end_ = 0;
    eof_ = false;
  }

  bool available() {
    while (end_ == pos_)
      if (!fill()) return false;
    return true;
  }

  // UTF-16 units start at even file offsets; only whole units are searched.
  bool aligned(std::size_t i) const { return unit_ == 1 || (base_ + i) % 2 == 0; }
  std::size_t dataEnd() const { return unit_ == 1 ? end_ : end_ - (base_ + end_) % 2; }

  unsigned unitAt(std::size_t i) const {
    const auto first = static_cast<unsigned char>(buf_[i]);
    if (unit_ == 1) return first;
    const auto second = static_cast<unsigned char>(buf_[i + 1]);
    return bigEndian_ ? first << 8 | second : first | second << 8;
  }

  // Whether the CR or LF byte at i is a whole UTF-16 line end, and then
  // where its unit starts: the zero byte is after it in little-endian,
  // before it in big-endian. Within [from, to).
  std::size_t utf16LineEndAt(std::size_t i, std::size_t from, std::size_t to) const {
    const char* const data = buf_.get();
    if (!bigEndian_) return aligned(i) && i + 1 < to && data[i + 1] == 0 ? i : npos;
    return !aligned(i) && i > from && data[i - 1] == 0 ? i - 1 : npos;
  }

  // A CR ended the last line: an LF right after it belongs to that line end.
  void settle() {
    if (!skipLf_) return;
    skipLf_ = false;
    while (end_ - pos_ < unit_)
      if (!fill()) return;
    if (unitAt(pos_) == '\n') {
      pos_ += unit_;
      lineStart_ = base_ + pos_;
    }
  }

  // The first line end in [from, dataEnd()), or npos; in UTF-16 where its
  // unit starts.
  std::size_t lineEndFrom(std::size_t from) const {
    const char* const data = buf_.get();
    for (std::size_t at = from;;) {
      const char* hit = scan::findLineEnd(data + at, data + dataEnd());
      if (hit == data + dataEnd()) return npos;
      const auto i = static_cast<std::size_t>(hit - data);
      if (unit_ == 1) return i;
      if (const std::size_t unit = utf16LineEndAt(i, from, dataEnd()); unit != npos) return unit;
      at = i + 1;
    }
  }

  // The last line end in [from, to), or npos; in UTF-16 where its unit starts.
  std::size_t lastLineEndIn(std::size_t from, std::size_t to) const {
    const char* const data = buf_.get();
    for (std::size_t end = to;;) {
      const char* hit = scan::findLastLineEnd(data + from, data + end);
      if (hit == data + end) return npos;
      const auto i = static_cast<std::size_t>(hit - data);
      if (unit_ == 1) return i;
      if (const std::size_t unit = utf16LineEndAt(i, from, to); unit != npos) return unit;
      end = i;
    }
  }

  // The line that starts at pos_, held whole and decoded into line (whose
  // memory is reused), and its line end consumed.
  void takeLine(std::u16string& line) {
    std::size_t scanned = 0;  // from pos_
    for (;;) {
      const std::size_t at = lineEndFrom(pos_ + scanned);
      if (at != npos) {
        decode(pos_, at, line);
        skipLf_ = unitAt(at) == '\r';
        pos_ = at + unit_;
        lineStart_ = base_ + pos_;
        return;
      }
      scanned = dataEnd() - pos_;
      if (scanned > limits_.maxLine) throw Error(err::OutOfMemory);
      if (!fill()) {
        decode(pos_, end_, line);  // the last line, without a line end
        pos_ = end_;
        lineStart_ = base_ + pos_;
        return;
      }
    }
  }

  void decode(std::size_t from, std::size_t to, std::u16string& line) {
    if (to - from > limits_.maxLine) throw Error(err::OutOfMemory);
    const char* const begin = buf_.get() + from;
    const char* const end = buf_.get() + to;
    if (encoding_ == Encoding::Utf16) {
      line.resize((to - from) / 2);
      for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<char16_t>(unitAt(from + 2 * i));
      if ((to - from) % 2 != 0) line += u'\uFFFD';  // a trailing odd byte is not a character
    } else {
      // ASCII reads the same in UTF-8 and in every Windows code page.
      line.resize(to - from);
      if (scan::widenAscii(begin, end, line.data())) return;
      const std::string_view raw(begin, to - from);
      line = encoding_ == Encoding::Utf8 ? fromUtf8(raw) : fs_.decode(raw);
    }
  }

  // The first candidate at or after from, or npos.
  std::size_t findCandidate(const Pattern& pattern, std::size_t from) const {
    const char* const data = buf_.get();
    if (pattern.kind == Pattern::HighByte) {
      const char* at = scan::findHighByte(data + from, data + end_);
      return at == data + end_ ? npos : static_cast<std::size_t>(at - data);
    }
    for (;;) {
      const char* at = scan::findNeedle(data + from, data + dataEnd(), pattern.bytes, pattern.probe);
      if (at == data + dataEnd()) return npos;
      const auto i = static_cast<std::size_t>(at - data);
      if (aligned(i)) return i;
      from = i + 1;
    }
  }

  // Whether a character of the needle, as the file's bytes hold it, always
  // decodes back to itself: only then can its bytes be searched for.
  // U+FFFD is never: broken bytes decode to it too.
  bool searchable(std::u16string_view character) {
    if (character == u"\uFFFD") return false;
    return holdable(character);
  }

  // Whether a line of this file can hold the character at all. One that
  // UTF-8 cannot encode (a lone surrogate), or that the code page has no
  // form for, comes out of no bytes: decoding gives only what encodes.
  bool holdable(std::u16string_view character) {
    if (character == u"\uFFFD" || encoding_ == Encoding::Utf16) return true;
    if (encoding_ == Encoding::Utf8) return character.size() == 2 || character[0] < 0xD800 || character[0] >= 0xE000;
    return fs_.decode(fs_.encode(character)) == character;
  }

  const Pattern& patternFor(std::u16string_view needle) {
    if (pattern_ && patternNeedle_ == needle) return *pattern_;
    patternNeedle_ = needle;
    Pattern& p = pattern_.emplace();
    if (needle.find_first_of(u"\r\n") != std::u16string_view::npos) return p;
    // The longest run of searchable characters is looked for first.
    std::u16string_view best;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < needle.size();) {
      const std::size_t size = isSurrogatePair(needle, i) ? 2 : 1;
      // A needle that no line can hold needs no line read, however long.
      if (!holdable(needle.substr(i, size))) return p;
      if (!searchable(needle.substr(i, size))) {
        if (i - runStart > best.size()) best = needle.substr(runStart, i - runStart);
        runStart = i + size;
      }
      i += size;
    }
    if (needle.size() - runStart > best.size()) best = needle.substr(runStart);
    if (best.empty()) {
      // Broken bytes and characters an 8-bit encoding cannot hold decode
      // only from high bytes; in UTF-16 every line has to be tested.
      p.kind = needle.empty() || encoding_ == Encoding::Utf16 ? Pattern::EachLine : Pattern::HighByte;
      return p;
    }
    switch (encoding_) {
      case Encoding::Utf16: p.bytes = utf16FromUnits(best, bigEndian_); break;
      case Encoding::Utf8: p.bytes = toUtf8(best); break;
      default: p.bytes = fs_.encode(best);
    }
    p.kind = Pattern::Bytes;
    p.probe = scan::chooseProbe(p.bytes, std::string_view(buf_.get() + pos_, std::min(end_ - pos_, kSampleSize)));
    return p;
  }

  std::unique_ptr<File> file_;
  FileSystem& fs_;
  const Limits limits_;
  const std::size_t baseCapacity_;
  Encoding encoding_ = Encoding::CodePage;
  std::size_t unit_ = 1;  // bytes per code unit
  bool bigEndian_ = false;  // UTF-16 with its high byte first

  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0, pos_ = 0, end_ = 0;
  std::uint64_t base_ = 0;
  std::uint64_t lineStart_ = 0;  // file offset where the line at pos_ began
  bool eof_ = false;
  bool skipLf_ = false;
  bool drained_ = false;  // nothing more can be found

  std::u16string patternNeedle_;
  std::optional<Pattern> pattern_;
};

LineReader::LineReader(std::unique_ptr<File> file, FileSystem& fs, Limits limits)
    : impl_(std::make_unique<Impl>(std::move(file), fs, limits)) {}
LineReader::~LineReader() = default;
bool LineReader::atEnd() { return impl_->atEnd(); }
std::u16string LineReader::readLine() { return impl_->readLine(); }
bool LineReader::readLineContaining(std::u16string_view needle, std::u16string& line) {
  return impl_->readLineContaining(needle, line);
}

}  // namespace rt
