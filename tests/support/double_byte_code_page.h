#pragma once
// Real files whose system code page is double-byte, shaped like Windows'
// Japanese one (932): lead bytes 81-9F and E0-FC take the byte after them.
// A few of its pairs, with its two pairs of duplicates:
//   81 40 U+3000   81 E0 and 87 90 U+2252   82 A0 U+3042   88 9F U+4E9C
//   ED 40 and FA 5C U+7E8A
// plus, for lead bytes 89-8F, every trail byte: U+5000 + (lead - 89) * 256 + trail.
// Other pairs and a lone lead byte decode to U+30FB; A1-DF are the
// half-width katakana U+FF61-U+FF9F; other single bytes above 7F decode to
// U+F8F0 + byte (no character of 932, but one form each). Encoding picks
// the first pair listed for a duplicate, and "?" for what has no form.
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/file_system.h"
#include "wrapped_file.h"

namespace testing_support {

class DoubleByteCodePage : public WrappedFileSystem {
 public:
  explicit DoubleByteCodePage(rt::FileSystem& real) : WrappedFileSystem(real) {}

  static bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

  static char16_t pair(unsigned char lead, unsigned char trail) {
    for (const auto& [bytes, c] : kPairs)
      if (bytes[0] == lead && bytes[1] == trail) return c;
    if (lead >= 0x89 && lead <= 0x8F) return static_cast<char16_t>(0x5000 + (lead - 0x89) * 256 + trail);
    return u'\u30FB';
  }

  static char16_t single(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    return static_cast<char16_t>(0xF8F0 + b);
  }

  std::u16string decode(std::string_view bytes) override {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (!isLead(b)) text += single(b);
      else if (i + 1 == bytes.size()) text += u'\u30FB';
      else text += pair(b, static_cast<unsigned char>(bytes[++i]));
    }
    return text;
  }

  std::string encode(std::u16string_view text) override {
    std::string bytes;
    for (const char16_t c : text) bytes += encodeOne(c);
    return bytes;
  }

 private:
  static std::string encodeOne(char16_t c) {
    for (int b = 0; b < 0x100; ++b)
      if (!isLead(static_cast<unsigned char>(b)) && single(static_cast<unsigned char>(b)) == c)
        return std::string(1, static_cast<char>(b));
    for (const auto& [bytes, pc] : kPairs)
      if (pc == c) return {static_cast<char>(bytes[0]), static_cast<char>(bytes[1])};
    if (c >= 0x5000 && c < 0x5700) return {static_cast<char>(0x89 + (c - 0x5000) / 256), static_cast<char>(c & 0xFF)};
    return "?";
  }

  static constexpr std::array<std::pair<std::array<unsigned char, 2>, char16_t>, 7> kPairs = {{
      {{0x81, 0x40}, u'\u3000'},
      {{0x81, 0xE0}, u'\u2252'},
      {{0x87, 0x90}, u'\u2252'},
      {{0x82, 0xA0}, u'\u3042'},
      {{0x88, 0x9F}, u'\u4E9C'},
      {{0xED, 0x40}, u'\u7E8A'},
      {{0xFA, 0x5C}, u'\u7E8A'},
  }};
};

}  // namespace testing_support
