#include "memory_services.h"

#include <algorithm>

#include "runtime/clipboard_formats.h"
#include "runtime/text.h"

namespace rt {

std::u16string MemoryInvocation::environment(std::u16string_view name) {
  for (const auto& [key, value] : environment_) {
    if (key.size() != name.size()) continue;
    const bool same = std::equal(key.begin(), key.end(), name.begin(), [](char16_t a, char16_t b) {
      const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c | 0x20) : c; };
      return lower(a) == lower(b);
    });
    if (same) return value;
  }
  return {};
}

void MemoryClipboard::setText(std::u16string_view text, Entry entry) {
  if (heldByOther_) throw Error(err::CantOpenClipboard);
  const bool ours = entry == Entry::Passing &&
                    std::find(formats_.begin(), formats_.end(), kOwnPassingFormat) != formats_.end();
  if (!ours) formats_.clear();
  text_ = std::u16string(text);
  if (entry == Entry::Passing && !ours) {
    formats_.emplace_back(kOwnPassingFormat);
    for (const std::u16string_view name : kPassOverFormats) formats_.emplace_back(name);
  }
  history_.push_back({std::u16string(text), entry});
}

void MemoryClipboard::otherProgramCopies(std::u16string text, std::vector<std::u16string> formats) {
  text_ = std::move(text);
  formats_ = std::move(formats);
}

bool MemoryClipboard::onlyPassingFormats() const {
  return std::all_of(formats_.begin(), formats_.end(), [](const std::u16string& name) {
    return name == kOwnPassingFormat || std::find(std::begin(kPassOverFormats), std::end(kPassOverFormats), name) !=
                                            std::end(kPassOverFormats);
  });
}

namespace {
std::u16string twoDigits(int n) { return widen(std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}); }
}  // namespace

std::u16string MemoryClock::formatDate(const DateTime& when) {
  return twoDigits(when.day) + u"." + twoDigits(when.month) + u"." + widen(std::to_string(when.year));
}

std::u16string MemoryClock::formatTime(const DateTime& when) {
  return twoDigits(when.hour) + u":" + twoDigits(when.minute) + u":" + twoDigits(when.second);
}

}  // namespace rt
