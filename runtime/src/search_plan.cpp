#include "search_plan.h"

namespace rt {
namespace {

bool isSurrogatePair(std::u16string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
}

}  // namespace

SearchPlan planSearch(std::u16string_view needle, const ByteForms& forms, std::string_view sample) {
  SearchPlan plan;
  // Lines end at CR and LF, so no line holds either.
  if (needle.find_first_of(u"\r\n") != std::u16string_view::npos) return plan;
  std::u16string_view best;
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < needle.size();) {
    const std::size_t size = isSurrogatePair(needle, i) ? 2 : 1;
    switch (forms.formsOf(needle.substr(i, size))) {
      case ByteForms::Count::None:
        return plan;  // however long the file, no line needs reading
      case ByteForms::Count::Several:
        if (i - runStart > best.size()) best = needle.substr(runStart, i - runStart);
        runStart = i + size;
        break;
      case ByteForms::Count::One:
        break;
    }
    i += size;
  }
  if (needle.size() - runStart > best.size()) best = needle.substr(runStart);
  if (best.empty()) {
    // Every character has several forms, so none is ASCII (ASCII has one
    // in every encoding): in UTF-8 and code pages only lines with a high
    // byte can hold them; in UTF-16 each line is tested.
    plan.kind = needle.empty() || !forms.nonAsciiFromHighBytes() ? SearchPlan::EachLine : SearchPlan::HighByte;
    return plan;
  }
  plan.kind = SearchPlan::Bytes;
  plan.bytes = forms.bytesOf(best);
  plan.probe = scan::chooseProbe(plan.bytes, sample);
  return plan;
}

std::size_t SearchPlan::findIn(std::string_view data, std::size_t unit) const {
  const char* const begin = data.data();
  const char* const end = begin + data.size();
  if (kind == HighByte) {
    const char* at = scan::findHighByte(begin, end);
    return at == end ? std::string_view::npos : static_cast<std::size_t>(at - begin);
  }
  for (const char* from = begin;;) {
    const char* at = scan::findNeedle(from, end, bytes, probe);
    if (at == end) return std::string_view::npos;
    if (const auto i = static_cast<std::size_t>(at - begin); i % unit == 0) return i;
    from = at + 1;
  }
}

}  // namespace rt
