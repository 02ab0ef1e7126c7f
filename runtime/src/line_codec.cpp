#include "line_codec.h"

#include "byte_scan.h"
#include "runtime/text.h"

namespace rt {
LineCodec::LineCodec(std::string_view start, CodePage& codePage) : codePage_(&codePage) {
  if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
    encoding_ = start[0] == '\xFE' ? Encoding::Utf16Be : Encoding::Utf16Le;
    markSize_ = unit_ = 2;
  } else if (start.substr(0, 3) == "\xEF\xBB\xBF") {
    encoding_ = Encoding::Utf8;
    markSize_ = 3;
  }
}

// Whether the CR or LF byte at i is a whole UTF-16 line end, and then
// where its unit starts: the zero byte is after it in little-endian,
// before it in big-endian.
std::size_t LineCodec::utf16LineEndAt(std::string_view bytes, std::size_t i) const {
  if (encoding_ == Encoding::Utf16Le) return i % 2 == 0 && i + 1 < bytes.size() && bytes[i + 1] == 0 ? i : npos;
  return i % 2 == 1 && bytes[i - 1] == 0 ? i - 1 : npos;
}

std::size_t LineCodec::firstLineEnd(std::string_view bytes) const {
  const char* const data = bytes.data();
  const char* const end = data + bytes.size();
  for (const char* at = data;;) {
    const char* hit = scan::findLineEnd(at, end);
    if (hit == end) return npos;
    const auto i = static_cast<std::size_t>(hit - data);
    if (unit_ == 1) return i;
    if (const std::size_t unit = utf16LineEndAt(bytes, i); unit != npos) return unit;
    at = hit + 1;
  }
}

std::size_t LineCodec::lastLineEnd(std::string_view bytes) const {
  const char* const data = bytes.data();
  for (const char* end = data + bytes.size();;) {
    const char* hit = scan::findLastLineEnd(data, end);
    if (hit == end) return npos;
    const auto i = static_cast<std::size_t>(hit - data);
    if (unit_ == 1) return i;
    if (const std::size_t unit = utf16LineEndAt(bytes, i); unit != npos) return unit;
    end = hit;
  }
}

void LineCodec::decode(std::string_view bytes, std::u16string& text) const {
  if (unit_ == 2) {
    text.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = unitAt(bytes, 2 * i);
    if (bytes.size() % 2 != 0) text += u'\uFFFD';  // a trailing odd byte is not a character
    return;
  }
  // ASCII reads the same in UTF-8 and in every Windows code page.
  text.resize(bytes.size());
  if (scan::widenAscii(bytes.data(), bytes.data() + bytes.size(), text.data())) return;
  text = encoding_ == Encoding::Utf8 ? fromUtf8(bytes) : codePage_->decode(bytes);
}

std::size_t LineCodec::safeCut(std::string_view bytes) const {
  const std::size_t size = bytes.size();
  switch (encoding_) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return size - size % 2;  // units decode one by one
    case Encoding::Utf8:
      // Only the last sequence can reach past the end: cut before it when
      // it is short of bytes (fromUtf8 then starts afresh at its lead byte).
      for (std::size_t i = size; i > 0 && size - i < 4; --i) {
        const auto lead = static_cast<unsigned char>(bytes[i - 1]);
        if ((lead & 0xC0) == 0x80) continue;
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
        return i - 1 + length <= size ? size : i - 1;
      }
      return size;  // a lone continuation byte is one U+FFFD
    case Encoding::CodePage:
      break;
  }
  if (codePage_->singleByte()) return size;
  // An ASCII byte is no lead byte, so it takes no byte after it: the next
  // character starts after it.
  for (std::size_t i = size; i > 0; --i)
    if (static_cast<unsigned char>(bytes[i - 1]) < 0x80) return i;
  return 0;
}

ByteForms::Count LineCodec::formsOf(std::u16string_view character) const {
  const char16_t first = character[0];
  if (first == 0xFFFD) return Count::Several;
  const bool loneSurrogate = character.size() == 1 && first >= 0xD800 && first < 0xE000;
  switch (encoding_) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return Count::One;
    case Encoding::Utf8:
      // UTF-8 has no form for a lone surrogate, but one at the needle's
      // start or end can match half of a decoded pair: its line is found
      // by decoding.
      return loneSurrogate ? Count::Several : Count::One;
    case Encoding::CodePage:
      break;
  }
  if (character.size() == 1 && first < 0x80) return Count::One;
  const bool roundTrips = codePage_->decode(codePage_->encode(character)) == character;
  if (character.size() == 2) return roundTrips ? Count::Several : Count::None;
  switch (codePage_->formsOf(first)) {
    case 0: return Count::None;
    case 1: return roundTrips ? Count::One : Count::Several;
    default: return Count::Several;
  }
}

std::string LineCodec::bytesOf(std::u16string_view text) const {
  switch (encoding_) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      std::string bytes;
      for (const char16_t unit : text) {
        const auto low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += encoding_ == Encoding::Utf16Be ? high : low;
        bytes += encoding_ == Encoding::Utf16Be ? low : high;
      }
      return bytes;
    }
    case Encoding::Utf8:
      return toUtf8(text);
    case Encoding::CodePage:
      break;
  }
  return codePage_->encode(text);
}

}  // namespace rt

