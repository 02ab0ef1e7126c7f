#include "runtime/print_line.h"

namespace rt {

std::u16string layoutPrintLine(std::initializer_list<PrintItem> items) {
  std::u16string line;
  for (const PrintItem& item : items) {
    if (item.isZone()) {
      // Zone starts at 0-based offsets 0, 14, 28, ...; the advance always moves.
      const std::size_t next = (line.size() / kPrintZoneWidth + 1) * kPrintZoneWidth;
      line.append(next - line.size(), u' ');
    } else {
      line += item.text();
    }
  }
  return line;
}

}  // namespace rt
