#pragma once
// What a search for a text looks for in a file's raw bytes before it
// decodes a line: text in, byte pattern out, no file involved. Lines the
// pattern finds are decoded and tested, so a pattern may find more lines
// than hold the text, never fewer.
#include <string>
#include <string_view>

#include "byte_scan.h"

namespace rt {

// What a plan needs to know of a file's encoding.
class ByteForms {
 public:
  enum class Count { None, One, Several };

  // How many byte sequences of the file decode to character (one unit,
  // or a surrogate pair). None: no line can hold it. Several: its bytes
  // cannot be searched for (U+FFFD, which broken bytes also decode to,
  // or a character with two forms in a double-byte code page).
  virtual Count formsOf(std::u16string_view character) const = 0;
  // The file's bytes for text whose characters each have one form.
  virtual std::string bytesOf(std::u16string_view text) const = 0;
  // Whether every character outside ASCII comes only from bytes of 0x80
  // and above (UTF-8 and code pages; not UTF-16).
  virtual bool nonAsciiFromHighBytes() const = 0;

 protected:
  ~ByteForms() = default;
};

struct SearchPlan {
  enum Kind {
    NoLine,    // no line can hold the text: read none
    EachLine,  // nothing to look for first: test each line
    Bytes,     // bytes that every line holding the text holds
    HighByte,  // only lines with a byte of 0x80 or above can hold it
  } kind = NoLine;
  std::string bytes;  // Bytes: the longest run of characters with one form
  scan::Probe probe;  // Bytes: which of its bytes to look for first

  // Where the first candidate in bytes is, or npos. Only multiples of
  // unit count: bytes start at a code unit, and in UTF-16 a match must too.
  std::size_t findIn(std::string_view bytes, std::size_t unit) const;
  // How many bytes a candidate spans.
  std::size_t width() const { return kind == Bytes ? bytes.size() : 1; }
};

// The plan for needle; sample is a piece of the data to be searched, to
// choose the probe by.
SearchPlan planSearch(std::u16string_view needle, const ByteForms& forms, std::string_view sample);

}  // namespace rt
