#include "byte_scan.h"

#include <array>
#include <cstring>
#include <algorithm>

namespace rt::scan {

namespace {
unsigned char byteOf(char c) { return static_cast<unsigned char>(c); }
}  // namespace

Probe chooseProbe(std::string_view needle, std::string_view sample) {
  std::array<std::size_t, 256> count{};
  for (char c : sample) ++count[byteOf(c)];
  const std::size_t none = needle.size();
  const auto rarest = [&](auto usable) {
    std::size_t best = none;
    for (std::size_t i = 0; i < needle.size(); ++i)
      if (usable(i) && (best == none || count[byteOf(needle[i])] < count[byteOf(needle[best])])) best = i;
    return best;
  };
  const std::size_t first = rarest([](std::size_t) { return true; });
  // Another byte value tells more than the same value at another offset.
  std::size_t second = rarest([&](std::size_t i) { return needle[i] != needle[first]; });
  if (second == none) second = first == 0 ? needle.size() - 1 : 0;
  const std::size_t o1 = std::min(first, second), o2 = std::max(first, second);
  return {o1, o2, byteOf(needle[o1]), byteOf(needle[o2])};
}

namespace plain {

const char* findNeedle(const char* begin, const char* end, std::string_view needle, const Probe& probe) {
  const std::size_t n = needle.size();
  if (static_cast<std::size_t>(end - begin) < n) return end;
  const char* last = end - n;
  for (const char* p = begin; p <= last; ++p) {
    // memchr on the probe's second byte would be faster on some C libraries;
    // this version is the reference and the fallback, so it stays simple.
    if (static_cast<unsigned char>(p[probe.offset2]) == probe.byte2 &&
        static_cast<unsigned char>(p[probe.offset1]) == probe.byte1 && std::memcmp(p, needle.data(), n) == 0)
      return p;
  }
  return end;
}

const char* findLineEnd(const char* begin, const char* end) {
  for (const char* p = begin; p < end; ++p)
    if (*p == '\r' || *p == '\n') return p;
  return end;
}

const char* findLastLineEnd(const char* begin, const char* end) {
  for (const char* p = end; p > begin;) {
    --p;
    if (*p == '\r' || *p == '\n') return p;
  }
  return end;
}

const char* findHighByte(const char* begin, const char* end) {
  for (const char* p = begin; p < end; ++p)
    if (static_cast<unsigned char>(*p) >= 0x80) return p;
  return end;
}

bool widenAscii(const char* begin, const char* end, char16_t* out) {
  for (const char* p = begin; p < end; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte >= 0x80) return false;
    *out++ = byte;
  }
  return true;
}

}  // namespace plain
}  // namespace rt::scan
