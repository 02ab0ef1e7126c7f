#pragma once
// How a file's bytes make lines: the encoding its byte-order mark names
// (UTF-16LE, UTF-16BE or UTF-8; the system code page without one), its
// code units, decoding, and line ends (CR or LF, alone or as CR LF).
//
// Byte views handed in start at a code unit's first byte; offsets handed
// back are indexes into the view.
#include <cstddef>
#include <string>
#include <string_view>

#include "code_page.h"
#include "search_plan.h"

namespace rt {

enum class Encoding { CodePage, Utf8, Utf16Le, Utf16Be };

class LineCodec final : public ByteForms {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  // start: the file's first bytes (three, or all of a shorter file).
  LineCodec(std::string_view start, CodePage& codePage);

  Encoding encoding() const { return encoding_; }
  std::size_t markSize() const { return markSize_; }
  std::size_t unit() const { return unit_; }  // bytes per code unit

  // The code unit at i.
  char16_t unitAt(std::string_view bytes, std::size_t i) const {
    const auto first = static_cast<unsigned char>(bytes[i]);
    if (unit_ == 1) return first;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(encoding_ == Encoding::Utf16Be ? first << 8 | second : first | second << 8);
  }
  // Where the first and last line end of bytes start, or npos. In UTF-16
  // only whole units count: 0D 0A is U+0A0D in little-endian, no line end.
  std::size_t firstLineEnd(std::string_view bytes) const;
  std::size_t lastLineEnd(std::string_view bytes) const;

  // The text of bytes, into text (whose memory is reused); in UTF-16 a
  // trailing odd byte is U+FFFD.
  void decode(std::string_view bytes, std::u16string& text) const;
  // The largest cut <= bytes.size() after which decoding can start again:
  // decoding the bytes before it and the bytes after it, whatever they
  // are, gives the same text as decoding all. 0 when there is none yet.
  std::size_t safeCut(std::string_view bytes) const;

  Count formsOf(std::u16string_view character) const override;
  std::string bytesOf(std::u16string_view text) const override;
  bool nonAsciiFromHighBytes() const override { return unit_ == 1; }

 private:
  std::size_t utf16LineEndAt(std::string_view bytes, std::size_t i) const;

  CodePage* codePage_;
  Encoding encoding_ = Encoding::CodePage;
  std::size_t markSize_ = 0;
  std::size_t unit_ = 1;
};

}  // namespace rt
