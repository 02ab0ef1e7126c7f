#include <gtest/gtest.h>

#include <random>
#include <string>

#include "byte_scan.h"

namespace {

using namespace rt::scan;

// The vector scans work in blocks of 16 and 32 bytes: every start, end and
// hit position around those boundaries must give what the plain ones give.
TEST(ByteScan, VectorScansAgreeWithThePlainOnesAtEveryOffset) {
#if defined(__i386__) || defined(__x86_64__)
  // A CPU with SSE2 (every machine that runs these tests): the comparison
  // is vector against plain, not plain against itself.
  ASSERT_TRUE(vectorScans());
#endif
  std::mt19937 random(11);
  std::string data(300, 'a');
  for (int round = 0; round < 200; ++round) {
    // Every other round without a high byte: ASCII widens whole.
    const std::size_t kinds = round % 2 == 0 ? 5 : 6;
    for (char& c : data) c = "ab-\r\n\x80"[random() % 6 == 0 ? random() % kinds : random() % 2];
    const std::string needle = data.substr(random() % 290, 1 + random() % 6);
    const Probe probe = chooseProbe(needle, data);
    const char* const d = data.data();
    for (std::size_t from = 0; from < 40; ++from) {
      for (std::size_t to = data.size(); to + 40 > data.size() && to > from; --to) {
        ASSERT_EQ(findNeedle(d + from, d + to, needle, probe), plain::findNeedle(d + from, d + to, needle, probe));
        ASSERT_EQ(findLineEnd(d + from, d + to), plain::findLineEnd(d + from, d + to));
        ASSERT_EQ(findLastLineEnd(d + from, d + to), plain::findLastLineEnd(d + from, d + to));
        ASSERT_EQ(findHighByte(d + from, d + to), plain::findHighByte(d + from, d + to));
        std::u16string fast(to - from, u'?'), slow(to - from, u'?');
        ASSERT_EQ(widenAscii(d + from, d + to, fast.data()), plain::widenAscii(d + from, d + to, slow.data()));
        if (plain::widenAscii(d + from, d + to, slow.data())) {
          ASSERT_EQ(fast, slow);
        }
      }
    }
  }
}

TEST(ByteScan, TheProbeTakesTheNeedlesRarestBytes) {
  const Probe probe = chooseProbe("00-1a", "0000000----1111111aa");
  EXPECT_EQ(probe.offset1, 2u);  // '-': 4 times
  EXPECT_EQ(probe.offset2, 4u);  // 'a': twice
  const Probe single = chooseProbe("x", "abc");
  EXPECT_EQ(single.offset1, 0u);
  EXPECT_EQ(single.offset2, 0u);
}

}  // namespace
