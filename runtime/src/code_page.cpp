#include "code_page.h"

namespace rt {

bool CodePage::singleByte() {
  if (singleByte_ < 0) {
    // In a double-byte code page a lead byte takes the byte after it, so
    // the 256 bytes in a row decode to fewer characters.
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
    singleByte_ = fs_.decode(all).size() == all.size();
  }
  return singleByte_ != 0;
}

unsigned CodePage::formsOf(char16_t unit) {
  if (forms_.empty()) takeCensus();
  return forms_[unit];
}

void CodePage::takeCensus() {
  forms_.assign(0x10000, 0);
  const auto count = [this](std::string_view bytes) {
    const std::u16string text = fs_.decode(bytes);
    if (text.size() == 1 && forms_[text[0]] < 2) ++forms_[text[0]];
  };
  for (int b = 0; b < 256; ++b) count(std::string(1, static_cast<char>(b)));
  if (singleByte()) return;
  // Every character is one byte or one lead byte and its trail byte.
  for (int lead = 0x80; lead < 0x100; ++lead)
    for (int trail = 0; trail < 0x100; ++trail) count(std::string{static_cast<char>(lead), static_cast<char>(trail)});
}

}  // namespace rt
