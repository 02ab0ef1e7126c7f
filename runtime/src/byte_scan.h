#pragma once
// The byte scans under the line reader's search. Each CPU family has its own
// translation unit for them (chosen by the build); all give the same
// results as the plain versions here.
#include <cstddef>
#include <string_view>

namespace rt::scan {

// Two bytes of a needle to look for first, at their offsets in it: the
// rarer they are in the data, the fewer places need a full comparison.
struct Probe {
  std::size_t offset1 = 0, offset2 = 0;
  unsigned char byte1 = 0, byte2 = 0;
};

// The needle's two rarest bytes by their counts in sample (a piece of the
// data to be searched); the same byte twice for a one-byte needle.
Probe chooseProbe(std::string_view needle, std::string_view sample);

// The first occurrence of needle (not empty) in [begin, end), or end.
const char* findNeedle(const char* begin, const char* end, std::string_view needle, const Probe& probe);
// The first CR or LF in [begin, end), or end.
const char* findLineEnd(const char* begin, const char* end);
// The last CR or LF in [begin, end), or end.
const char* findLastLineEnd(const char* begin, const char* end);
// The first byte of 0x80 or above in [begin, end), or end.
const char* findHighByte(const char* begin, const char* end);
// Copies ASCII bytes to 16-bit units at out; false, with out partly
// written, when [begin, end) holds a byte of 0x80 or above.
bool widenAscii(const char* begin, const char* end, char16_t* out);

// Whether the scans above run on this CPU's vector instructions; false
// where the plain versions serve them.
bool vectorScans();

// Plain C++ versions: the reference, and the fallback on any CPU.
namespace plain {
const char* findNeedle(const char* begin, const char* end, std::string_view needle, const Probe& probe);
const char* findLineEnd(const char* begin, const char* end);
const char* findLastLineEnd(const char* begin, const char* end);
const char* findHighByte(const char* begin, const char* end);
bool widenAscii(const char* begin, const char* end, char16_t* out);
}  // namespace plain

}  // namespace rt::scan
