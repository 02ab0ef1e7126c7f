#pragma once
// Lays out one printed line: items joined directly or by a zone advance.
#include <initializer_list>
#include <string>
#include <string_view>

namespace rt {

inline constexpr std::size_t kPrintZoneWidth = 14;

struct Zone {};
inline constexpr Zone zone{};

class PrintItem {
 public:
  PrintItem(std::u16string_view text) : text_(text) {}  // NOLINT: implicit by design
  PrintItem(const char16_t* text) : text_(text) {}      // NOLINT
  PrintItem(const std::u16string& text) : text_(text) {} // NOLINT
  PrintItem(Zone) : zone_(true) {}                      // NOLINT

  bool isZone() const { return zone_; }
  std::u16string_view text() const { return text_; }

 private:
  std::u16string_view text_;
  bool zone_ = false;
};

// A zone advance pads with blanks to the next print-zone start after the
// current column; zones start at columns 1, 15, 29, ... counted from 1, and
// every character written, a tab included, takes one column.
std::u16string layoutPrintLine(std::initializer_list<PrintItem> items);

}  // namespace rt
