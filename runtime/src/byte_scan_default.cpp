// The byte scans on CPUs without a vector version here: the plain ones.
#include "byte_scan.h"

namespace rt::scan {

const char* findNeedle(const char* begin, const char* end, std::string_view needle, const Probe& probe) {
  return plain::findNeedle(begin, end, needle, probe);
}

const char* findLineEnd(const char* begin, const char* end) { return plain::findLineEnd(begin, end); }

const char* findLastLineEnd(const char* begin, const char* end) { return plain::findLastLineEnd(begin, end); }

const char* findHighByte(const char* begin, const char* end) { return plain::findHighByte(begin, end); }

bool widenAscii(const char* begin, const char* end, char16_t* out) { return plain::widenAscii(begin, end, out); }

bool vectorScans() { return false; }

}  // namespace rt::scan
