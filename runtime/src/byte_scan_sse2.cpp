// The byte scans with SSE2, 32 bytes a step. Every x86-64 CPU has SSE2; a
// 32-bit x86 CPU may not (Windows 7 runs on some without), so the CPU is
// asked once and the plain versions serve where it says no.
#include <cpuid.h>
#include <emmintrin.h>

#include <cstring>

#include "byte_scan.h"

namespace rt::scan {
namespace {

bool cpuHasSse2() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
}

const bool kSse2 = cpuHasSse2();

#define SSE2 __attribute__((target("sse2")))

SSE2 inline __m128i load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

SSE2 inline unsigned mask(__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); }

SSE2 const char* findNeedleSse2(const char* begin, const char* end, std::string_view needle, const Probe& probe) {
  const std::size_t n = needle.size();
  if (static_cast<std::size_t>(end - begin) < n) return end;
  // Positions p whose needle would end by `end` and whose two 16-byte loads
  // (at p + offset1 and p + offset2, both below n) stay inside [begin, end).
  const char* const lastStart = end - n;
  const __m128i b1 = _mm_set1_epi8(static_cast<char>(probe.byte1));
  const __m128i b2 = _mm_set1_epi8(static_cast<char>(probe.byte2));
  const std::size_t o1 = probe.offset1, o2 = probe.offset2;
  const char* p = begin;
  const auto verify = [&](const char* at, unsigned bits) -> const char* {
    for (; bits != 0; bits &= bits - 1) {
      const char* candidate = at + __builtin_ctz(bits);
      if (std::memcmp(candidate, needle.data(), n) == 0) return candidate;
    }
    return nullptr;
  };
  for (; p + 31 <= lastStart; p += 32) {
    const unsigned lo = mask(_mm_and_si128(_mm_cmpeq_epi8(load(p + o1), b1), _mm_cmpeq_epi8(load(p + o2), b2)));
    const unsigned hi =
        mask(_mm_and_si128(_mm_cmpeq_epi8(load(p + 16 + o1), b1), _mm_cmpeq_epi8(load(p + 16 + o2), b2)));
    if ((lo | hi) == 0) continue;
    if (const char* hit = verify(p, lo | hi << 16)) return hit;
  }
  return plain::findNeedle(p, end, needle, probe);
}

SSE2 const char* findLineEndSse2(const char* begin, const char* end) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const char* p = begin;
  for (; end - p >= 32; p += 32) {
    const __m128i a = load(p), b = load(p + 16);
    const unsigned bits = mask(_mm_or_si128(_mm_cmpeq_epi8(a, cr), _mm_cmpeq_epi8(a, lf))) |
                          mask(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf))) << 16;
    if (bits != 0) return p + __builtin_ctz(bits);
  }
  return plain::findLineEnd(p, end);
}

SSE2 const char* findLastLineEndSse2(const char* begin, const char* end) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const char* p = end;
  for (; p - begin >= 32; p -= 32) {
    const __m128i a = load(p - 32), b = load(p - 16);
    const unsigned bits = mask(_mm_or_si128(_mm_cmpeq_epi8(a, cr), _mm_cmpeq_epi8(a, lf))) |
                          mask(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf))) << 16;
    if (bits != 0) return p - 32 + (31 - __builtin_clz(bits));
  }
  const char* at = plain::findLastLineEnd(begin, p);
  return at == p ? end : at;
}

SSE2 const char* findHighByteSse2(const char* begin, const char* end) {
  const char* p = begin;
  for (; end - p >= 32; p += 32) {
    const unsigned bits = mask(load(p)) | mask(load(p + 16)) << 16;
    if (bits != 0) return p + __builtin_ctz(bits);
  }
  return plain::findHighByte(p, end);
}

SSE2 bool widenAsciiSse2(const char* begin, const char* end, char16_t* out) {
  const auto size = static_cast<std::size_t>(end - begin);
  if (size < 16) return plain::widenAscii(begin, end, out);
  const __m128i zero = _mm_setzero_si128();
  const auto widen16 = [&](std::size_t at) SSE2 {
    const __m128i bytes = load(begin + at);
    if (mask(bytes) != 0) return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(bytes, zero));
    return true;
  };
  std::size_t at = 0;
  for (; at + 16 <= size; at += 16)
    if (!widen16(at)) return false;
  // The rest as the last 16 bytes, again in part.
  return at == size || widen16(size - 16);
}

}  // namespace

const char* findNeedle(const char* begin, const char* end, std::string_view needle, const Probe& probe) {
  return kSse2 ? findNeedleSse2(begin, end, needle, probe) : plain::findNeedle(begin, end, needle, probe);
}

const char* findLineEnd(const char* begin, const char* end) {
  return kSse2 ? findLineEndSse2(begin, end) : plain::findLineEnd(begin, end);
}

const char* findHighByte(const char* begin, const char* end) {
  return kSse2 ? findHighByteSse2(begin, end) : plain::findHighByte(begin, end);
}

const char* findLastLineEnd(const char* begin, const char* end) {
  return kSse2 ? findLastLineEndSse2(begin, end) : plain::findLastLineEnd(begin, end);
}

bool vectorScans() { return kSse2; }

bool widenAscii(const char* begin, const char* end, char16_t* out) {
  return kSse2 ? widenAsciiSse2(begin, end, out) : plain::widenAscii(begin, end, out);
}

}  // namespace rt::scan
