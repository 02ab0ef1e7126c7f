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

TEST(Split, MissingPieceIsSubscriptOutOfRange) {
  const auto pieces = split(u"abc", u"<");
  EXPECT_EQ(rt::piece(pieces, 0), u"abc");
  try {
    rt::piece(pieces, 1);
    FAIL() << "no error";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.number(), 9);
    EXPECT_EQ(e.description(), u"Subscript out of range");
  }
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
