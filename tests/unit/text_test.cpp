#include <gtest/gtest.h>

#include "runtime/error.h"
#include "runtime/print_line.h"
#include "runtime/text.h"

using rt::split;

TEST(Split, CountsPiecesLikeTheDelimitersPlusOneAndEmptyTextHasNone) {
  EXPECT_EQ(split(u"a:b::c", u":"), (std::vector<std::u16string>{u"a", u"b", u"", u"c"}));
  EXPECT_EQ(split(u":", u":"), (std::vector<std::u16string>{u"", u""}));
  EXPECT_EQ(split(u"x -y - z", u" -"), (std::vector<std::u16string>{u"x", u"y", u" z"}));
  EXPECT_TRUE(split(u"", u":").empty());
}

TEST(InStr, IsExactAndOneBasedAndEmptyNeedleMatchesOnlyNonEmptyText) {
  EXPECT_EQ(rt::inStr(u"00-1a-2b", u"1a"), 4u);
  EXPECT_EQ(rt::inStr(u"00-1a-2b", u"1A"), 0u);
  EXPECT_EQ(rt::inStr(u"abc", u""), 1u);
  EXPECT_EQ(rt::inStr(u"", u""), 0u);
}

TEST(Trim, RemovesBlanksOnlyAtBothEnds) {
  EXPECT_EQ(rt::trim(u"  a b \t "), u"a b \t");
  EXPECT_EQ(rt::trim(u"   "), u"");
}

TEST(Utf8, RoundTripsAllPlanesAndReplacesBrokenSequences) {
  const std::u16string text = u"a\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(rt::fromUtf8(rt::toUtf8(text)), text);
  EXPECT_EQ(rt::fromUtf8("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(rt::fromUtf8("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong
}

// UTF-8 and UTF-16 of a code point, written from the standards' bit
// layouts, apart from the code under test.
std::string referenceUtf8(char32_t c) {
  const auto byte = [](unsigned v) { return static_cast<char>(v); };
  if (c < 0x80) return {byte(c)};
  if (c < 0x800) return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
  if (c < 0x10000) return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
  return {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
}
std::u16string referenceUtf16(char32_t c) {
  if (c < 0x10000) return {static_cast<char16_t>(c)};
  return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

TEST(Utf8, EveryCodePointConvertsBothWaysAsTheStandardSaysAndALoneSurrogateIsReplaced) {
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c == 0xD800) c = 0xE000;
    const std::u16string wide = u"<" + referenceUtf16(c) + u">";
    const std::string bytes = "<" + referenceUtf8(c) + ">";
    ASSERT_EQ(rt::toUtf8(wide), bytes) << "U+" << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(rt::fromUtf8(bytes), wide) << "U+" << std::hex << static_cast<unsigned>(c);
  }
  for (const char16_t lone : {u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'}) {
    EXPECT_EQ(rt::toUtf8(std::u16string{u'a', lone, u'b'}), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(rt::toUtf8(std::u16string{lone}), "\xEF\xBF\xBD");
    EXPECT_EQ(rt::toUtf8(std::u16string{lone, lone}), "\xEF\xBF\xBD\xEF\xBF\xBD");  // two highs, two lows: no pair
  }
}

TEST(PrintLine, ZoneAdvanceGoesToTheNextFourteenColumnZone) {
  using rt::zone;
  EXPECT_EQ(rt::layoutPrintLine({u"Searchdate:", zone, u"d"}), u"Searchdate:   d");
  EXPECT_EQ(rt::layoutPrintLine({zone, u"x"}), std::u16string(14, u' ') + u"x");
  // A full zone moves on to the following one.
  EXPECT_EQ(rt::layoutPrintLine({u"12345678901234", zone, u"x"}), u"12345678901234" + std::u16string(14, u' ') + u"x");
  const auto line = rt::layoutPrintLine({zone, u"\t", zone, u"Mask:", zone, u"v"});
  EXPECT_EQ(line.find(u'\t'), 14u);
  EXPECT_EQ(line.find(u"Mask:"), 28u);
  EXPECT_EQ(line.find(u'v'), 42u);
}
