#pragma once
// The system's 8-bit code page as the line reader needs it: text to and
// from its bytes, and which characters have more than one byte form.
//
// Windows' system code pages are single-byte, or double-byte with lead
// bytes of 0x81 and above (932, 936, 949, 950): a character is one byte,
// or a lead byte and the byte after it. In double-byte ones some
// characters have two forms: in 932 both 81 E0 and 87 90 decode to
// U+2252. A search for one form's bytes would miss the other, so such
// characters are found by decoding.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file_system.h"

namespace rt {

class CodePage {
 public:
  explicit CodePage(FileSystem& fs) : fs_(fs) {}

  std::string encode(std::u16string_view text) { return fs_.encode(text); }
  std::u16string decode(std::string_view bytes) { return fs_.decode(bytes); }

  // Whether every byte is one character (no lead bytes).
  bool singleByte();
  // How many byte sequences decode to unit: 0, 1, or 2 for two or more.
  // The first call of a double-byte code page decodes every byte pair
  // once (32,768 conversions); later calls look it up.
  unsigned formsOf(char16_t unit);

 private:
  void takeCensus();

  FileSystem& fs_;
  int singleByte_ = -1;              // -1 until known
  std::vector<std::uint8_t> forms_;  // per unit; empty until the census
};

}  // namespace rt
