// The reader at the edges of its read window, with limits a few bytes
// long: matches and line ends that straddle reads, a line read again from
// its start, the longest line, and searches that decode lines to test them.
#include <gtest/gtest.h>

#include <random>

#include "code_page.h"
#include "double_byte_code_page.h"
#include "fixture.h"
#include "line_codec.h"
#include "line_reader.h"
#include "reference_reader.h"
#include "runtime/file_table.h"
#include "search_plan.h"

namespace {

using testing_support::errorOf;

using Lines = std::vector<std::u16string>;

rt::LineLimits limits(std::size_t readSize, std::size_t carriedLine, std::size_t maxLine = std::size_t{1} << 20) {
  return {readSize, carriedLine, maxLine};
}

// ASCII text in each encoding the reader knows, byte-order mark included.
std::string encoded(std::string_view text, rt::Encoding encoding) {
  std::string bytes = encoding == rt::Encoding::Utf8 ? "\xEF\xBB\xBF" : "";
  if (encoding == rt::Encoding::Utf16Le) bytes = "\xFF\xFE";
  if (encoding == rt::Encoding::Utf16Be) bytes = "\xFE\xFF";
  for (const char c : text) {
    if (encoding == rt::Encoding::Utf16Be) bytes += '\0';
    bytes += c;
    if (encoding == rt::Encoding::Utf16Le) bytes += '\0';
  }
  return bytes;
}

class Reader : public testing_support::World {
 protected:
  Lines readAll(std::string_view bytes, rt::LineLimits limits) {
    write(u"c:\\temp\\f.txt", bytes);
    rt::LineReader reader(fs_.open(u"c:\\temp\\f.txt", rt::OpenMode::Input), codePage_, limits);
    Lines lines;
    while (!reader.atEnd()) lines.push_back(reader.readLine());
    return lines;
  }

  Lines search(std::string_view bytes, std::u16string_view needle, rt::LineLimits limits) {
    write(u"c:\\temp\\f.txt", bytes);
    rt::LineReader reader(fs_.open(u"c:\\temp\\f.txt", rt::OpenMode::Input), codePage_, limits);
    Lines found;
    for (std::u16string line; searchOn(reader, needle, line);) found.push_back(line);
    EXPECT_TRUE(reader.atEnd());
    return found;
  }

  // A search through every pause: true with the next line, false at the end.
  static bool searchOn(rt::LineReader& reader, std::u16string_view needle, std::u16string& line) {
    for (;;) {
      const rt::FileTable::Search step = reader.search(needle, line);
      if (step == rt::FileTable::Search::Waiting) testing_support::WaitingReads::letThrough(reader.readSignal());
      else if (step != rt::FileTable::Search::Paused) return step == rt::FileTable::Search::Found;
    }
  }

  rt::CodePage codePage_{fs_};
};

TEST_F(Reader, ALineThatBeganInBytesPassedOverIsFoundWholeFromItsStart) {
  // Nothing is carried, so the match late in the long line sends the
  // reader back to where that line began.
  const std::string text = "p\r\n0123456789abcdefghij 00-1a tail\r\nq 00-1a\r\n";
  for (const auto encoding : {rt::Encoding::CodePage, rt::Encoding::Utf16Le, rt::Encoding::Utf16Be})
    for (const std::size_t readSize : {2, 4, 5}) {
      SCOPED_TRACE(testing::Message() << "encoding " << static_cast<int>(encoding) << ", read size " << readSize);
      EXPECT_EQ(search(encoded(text, encoding), u"00-1a", limits(readSize, 0)),
                (Lines{u"0123456789abcdefghij 00-1a tail", u"q 00-1a"}));
    }
}

TEST_F(Reader, TheLongestLineIsHeldAndALongerOneIsOutOfMemoryOnlyWhenItMustBeHeld) {
  const std::string longest(16, 'x');
  EXPECT_EQ(readAll(longest + "\r\n" + longest, limits(4, 2, 16)), (Lines{rt::widen(longest), rt::widen(longest)}));
  EXPECT_EQ(errorOf([&] { readAll("a\r\n" + longest + "y\r\n", limits(4, 2, 16)); }), rt::err::OutOfMemory);
  // A search passes over long lines without the text, and holds one with it.
  const std::string text = std::string(100, 'z') + " 00-1\r\n00-1a\r\n";
  EXPECT_EQ(search(text, u"00-1a", limits(4, 2, 16)), (Lines{u"00-1a"}));
  EXPECT_EQ(errorOf([&] { search(longest + "00-1a\r\n", u"00-1a", limits(4, 2, 16)); }), rt::err::OutOfMemory);
}

// The reader's state from one call to the next, at the edges of its limits.
TEST_F(Reader, StateCarriesFromSearchToSearchAndLimitsHoldToTheByte) {
  // A second search for another text looks for that text.
  write(u"c:\\temp\\f.txt", "a1\r\nb2\r\nab\r\n");
  {
    rt::LineReader reader(fs_.open(u"c:\\temp\\f.txt", rt::OpenMode::Input), codePage_, limits(4, 2, 16));
    std::u16string line;
    ASSERT_TRUE(searchOn(reader, u"a", line));
    EXPECT_EQ(line, u"a1");
    ASSERT_TRUE(searchOn(reader, u"b", line));
    EXPECT_EQ(line, u"b2");
  }
  // A line after CR LF read without asking for the end first.
  write(u"c:\\temp\\f.txt", "a\r\nb");
  {
    rt::LineReader reader(fs_.open(u"c:\\temp\\f.txt", rt::OpenMode::Input), codePage_, limits(4, 2, 16));
    EXPECT_EQ(reader.readLine(), u"a");
    EXPECT_EQ(reader.readLine(), u"b");
  }
  // A text no line can hold ends the search at the file's end.
  EXPECT_EQ(search("x\r\ny\r\n", u"\u0151", limits(4, 2, 16)), Lines{});
  // A last line longer than the longest, without the text, is passed over.
  EXPECT_EQ(search("00-1a\r\n" + std::string(40, 'y'), u"00-1a", limits(4, 2, 16)), (Lines{u"00-1a"}));
  // A line tested in pieces may be exactly the longest; one byte more is
  // out of memory once it must be held.
  const std::string utf8 = "\xEF\xBB\xBF";
  EXPECT_EQ(search(utf8 + std::string(15, 'x') + "\xFF\r\n", u"\uFFFD", limits(4, 2, 16)),
            (Lines{std::u16string(15, u'x') + u"\uFFFD"}));
  EXPECT_EQ(errorOf([&] { search(utf8 + std::string(16, 'x') + "\xFF\r\n", u"\uFFFD", limits(4, 2, 16)); }),
            rt::err::OutOfMemory);
}

// Searches whose text has no bytes of its own to look for decode each
// candidate line; long lines are tested in pieces, never held whole.
TEST_F(Reader, ASearchThatDecodesToTestPassesOverLongLinesWithinTheLongestLine) {
  const auto small = limits(8, 4, 64);
  // UTF-8: only broken bytes decode to U+FFFD; the long line is all é.
  std::string utf8 = "\xEF\xBB\xBF";
  for (int i = 0; i < 200; ++i) utf8 += "\xC3\xA9";
  utf8 += "\nbro\xC3ken\n";
  EXPECT_EQ(search(utf8, u"\uFFFD", small), (Lines{u"bro\uFFFDken"}));
  // A match in a long line's last piece is still found, and must be held.
  EXPECT_EQ(errorOf([&] { search(utf8.substr(0, 300) + "\xFF\n", u"\uFFFD", small); }), rt::err::OutOfMemory);
  // Windows-1252: no byte decodes to U+FFFD, but lines with a high byte are
  // still tested.
  EXPECT_EQ(search(std::string(300, '\x80') + "\r\nok\r\n", u"\uFFFD", small), Lines{});
  // A match that straddles two pieces (U+FFFD twice, then x).
  std::string straddling = "\xEF\xBB\xBF";
  for (int i = 0; i < 40; ++i) straddling += "\xC3\xA9";
  straddling += "\xFF\xFFx";
  for (int i = 0; i < 40; ++i) straddling += "\xC3\xA9";
  straddling += "\n";
  EXPECT_EQ(errorOf([&] { search(straddling, u"\uFFFD\uFFFDx", small); }), rt::err::OutOfMemory);
  EXPECT_EQ(search(straddling, u"\uFFFD\uFFFDy", small), Lines{});
}

// Any file against the plain reference (reference_reader.h), on fixed
// seeds: each encoding over both kinds of code page, broken sequences,
// line ends whole, split and misaligned, lines long beside every limit,
// and texts taken from the file or chosen to need decoding. Now and then a
// large file at the usual limits, so that the vector scans run long. A
// third of the files wait at every read, and half of those are pipes,
// which cannot be read again.
TEST_F(Reader, ReadingAndSearchingAnyFileGiveWhatAPlainReferenceGives) {
  using namespace std::string_view_literals;
  testing_support::DoubleByteCodePage doubleByte(fs_);
  std::mt19937 random(23);
  const std::string_view marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
  const std::string_view pieces[] = {
      "a", " 00-1a", "\r", "\n", "\r\n", "\0"sv, "\r\0"sv, "\0\n"sv, "\x80", "\xC3\xA9", "\xE2\x82\xAC",
      "\xF0\x9F\x98\x80", "\xC3", "\xED\xA0\x80", "\xFF", "\x81\xE0", "\x87\x90", "\x88\x9F", "\x8A\x8A\x8A\x8A\x8A\x8A",
      "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"};
  const std::u16string_view chosen[] = {u"", u"00-1a", u"\uFFFD", u"\u2252", u"\u7E8A", u"\xD83D", u"\u00e9\uFFFD"};
  for (int round = 0; round < 1500; ++round) {
    const bool large = round % 500 == 0;
    std::string bytes(marks[random() % std::size(marks)]);
    for (int i = 0, n = large ? 40'000 : static_cast<int>(random() % 60); i < n; ++i)
      bytes += pieces[random() % std::size(pieces)];
    rt::FileSystem& plain = random() % 2 ? static_cast<rt::FileSystem&>(doubleByte) : fs_;
    const unsigned kind = random() % 6;
    testing_support::WaitingReads waiting(plain, kind == 1);
    rt::FileSystem& fs = kind < 2 ? static_cast<rt::FileSystem&>(waiting) : plain;
    std::u16string all;
    for (const auto& line : testing_support::referenceLines(bytes, fs)) all += line.text;
    const std::u16string needle = random() % 2 ? std::u16string(chosen[random() % std::size(chosen)])
                                               : all.substr(random() % (all.size() + 1), random() % 6);
    const std::size_t readSize = 1 + random() % 48;
    const auto tiny = limits(readSize, random() % 24, random() % 2 ? 2 * readSize + random() % 40 : 1 << 20);
    write(u"c:\\temp\\f.txt", bytes);
    ASSERT_EQ(testing_support::readerDiffers(fs, u"c:\\temp\\f.txt", bytes, needle, large ? rt::LineLimits{} : tiny), "")
        << "round " << round << ", kind " << kind << ", read size " << readSize;
  }
}

// Decoding in pieces is exact only where decoding can start again.
TEST_F(Reader, DecodingBeforeAndAfterASafeCutGivesTheWholeText) {
  testing_support::DoubleByteCodePage doubleByte(fs_);
  rt::CodePage japanese(doubleByte), western(fs_);
  std::mt19937 random(5);
  const std::string alphabet = std::string("a \x81\xE0\x87\x40\x8F\xC3\xA9\xBF\x80\xF0\xF8", 14) + '\0';
  for (const auto encoding : {rt::Encoding::CodePage, rt::Encoding::Utf8, rt::Encoding::Utf16Le})
    for (rt::CodePage* codePage : {&japanese, &western})
      for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (int i = 0, n = static_cast<int>(random() % 12); i < n; ++i) bytes += alphabet[random() % alphabet.size()];
        const rt::LineCodec codec(encoded("", encoding), *codePage);
        const std::size_t held = random() % (bytes.size() + 1);
        const std::size_t cut = codec.safeCut(std::string_view(bytes).substr(0, held));
        ASSERT_LE(cut, held);
        std::u16string whole, before, after;
        codec.decode(bytes, whole);
        codec.decode(std::string_view(bytes).substr(0, cut), before);
        codec.decode(std::string_view(bytes).substr(cut), after);
        ASSERT_EQ(before + after, whole) << "encoding " << static_cast<int>(encoding) << ", cut " << cut;
      }
  // And it is the largest: right after a whole sequence or pair, before
  // one broken off.
  const rt::LineCodec utf8(encoded("", rt::Encoding::Utf8), western), japaneseText(std::string_view{}, japanese);
  EXPECT_EQ(utf8.safeCut("ab\xC3\xA9"), 4u);
  EXPECT_EQ(utf8.safeCut("\xF0\x9F\x98\x80"), 4u);
  EXPECT_EQ(utf8.safeCut("ab\xE2\x82"), 2u);
  EXPECT_EQ(japaneseText.safeCut("a\x81\x40\x81"), 3u);
}

// What a search looks for first, in each encoding.
TEST_F(Reader, ASearchLooksForTheLongestRunOfCharactersWithOneByteForm) {
  testing_support::DoubleByteCodePage doubleByte(fs_);
  rt::CodePage japanese(doubleByte);
  const rt::LineCodec western(std::string_view{}, codePage_), japaneseText(std::string_view{}, japanese),
      utf8("\xEF\xBB\xBF", codePage_), utf16("\xFE\xFF", codePage_);
  struct Case {
    const rt::LineCodec& codec;
    std::u16string_view needle;
    rt::SearchPlan::Kind kind;
    std::string bytes;
  };
  const Case cases[] = {
      {western, u"ab\u20ac", rt::SearchPlan::Bytes, "ab\x80"},
      {western, u"a\rb", rt::SearchPlan::NoLine, ""},
      {western, u"\u0151z", rt::SearchPlan::NoLine, ""},  // 1252 has no ő
      {western, u"\u0080", rt::SearchPlan::NoLine, ""},  // nor U+0080 (its 80 is €)
      {western, u"\uFFFD", rt::SearchPlan::HighByte, ""},
      {western, u"", rt::SearchPlan::EachLine, ""},
      {japaneseText, u"\u4E9Cpc", rt::SearchPlan::Bytes, "\x88\x9Fpc"},
      {japaneseText, u"\u2252pc", rt::SearchPlan::Bytes, "pc"},  // two forms: only "pc" is sure
      {japaneseText, u"x\u7E8A\u2252", rt::SearchPlan::Bytes, "x"},
      {japaneseText, u"\u2252", rt::SearchPlan::HighByte, ""},
      {japaneseText, u"\u0151", rt::SearchPlan::NoLine, ""},
      {japaneseText, u"\u5000", rt::SearchPlan::Bytes, std::string("\x89\0", 2)},  // a pair with trail byte 00
      {japaneseText, u"\uFF71", rt::SearchPlan::Bytes, "\xB1"},  // one byte, which starts no pair
      {utf8, u"\uFFFDab\uFFFDc", rt::SearchPlan::Bytes, "ab"},
      {utf8, u"\U0001F600", rt::SearchPlan::Bytes, "\xF0\x9F\x98\x80"},
      {utf8, u"\uE000", rt::SearchPlan::Bytes, "\xEE\x80\x80"},  // just past the surrogates
      {utf8, u"\U00010000", rt::SearchPlan::Bytes, "\xF0\x90\x80\x80"},  // the first pair
      {utf8, u"\xDC00\xDC00", rt::SearchPlan::HighByte, ""},             // two low halves: no pair
      {utf8, u"\xD800\uE000", rt::SearchPlan::Bytes, "\xEE\x80\x80"},  // a high half, then no low one
      {utf8, u"\xD83D", rt::SearchPlan::HighByte, ""},  // half a pair can match half of one
      {utf16, u"\uFFFD", rt::SearchPlan::EachLine, ""},
      {utf16, u"a\u20ac", rt::SearchPlan::Bytes, std::string("\0a\x20\xAC", 4)},
  };
  for (const Case& c : cases) {
    const rt::SearchPlan plan = rt::planSearch(c.needle, c.codec, {});
    EXPECT_EQ(plan.kind, c.kind) << "needle of " << c.needle.size() << " units: " << std::string(c.bytes);
    EXPECT_EQ(plan.bytes, c.bytes);
  }
}

class DoubleByteFiles : public testing_support::World {
 protected:
  testing_support::DoubleByteCodePage doubleByte_{fs_};
  rt::FileTable files_{doubleByte_};

  Lines search(std::string_view bytes, std::u16string_view needle) {
    write(u"c:\\temp\\j.txt", bytes);
    files_.open(1, u"c:\\temp\\j.txt", rt::OpenMode::Input);
    Lines found;
    for (std::u16string line; testing_support::searchOn(files_, 1, needle, line);) found.push_back(line);
    files_.close(1);
    return found;
  }
};

// In Japanese 932, 81 E0 and 87 90 both read as U+2252, and ED 40 and
// FA 5C both as U+7E8A: a search finds either form.
TEST_F(DoubleByteFiles, ACharacterWithTwoByteFormsIsFoundInEither) {
  const std::string text = "\x81\xE0pc 1\r\n\x87\x90pc 2\r\npc 3\r\n\xED\x40 4\r\n\xFA\x5C 5\r\n\x88\x9Fpc 6\r\n";
  EXPECT_EQ(search(text, u"\u2252pc"), (Lines{u"\u2252pc 1", u"\u2252pc 2"}));
  EXPECT_EQ(search(text, u"\u2252"), (Lines{u"\u2252pc 1", u"\u2252pc 2"}));
  EXPECT_EQ(search(text, u"\u7E8A"), (Lines{u"\u7E8A 4", u"\u7E8A 5"}));
  EXPECT_EQ(search(text, u"\u4E9Cpc"), (Lines{u"\u4E9Cpc 6"}));
}

// A line longer than the longest line, without the text: passed over in
// pieces cut after ASCII bytes, where no pair can start.
TEST_F(DoubleByteFiles, ALongLineWithoutTheTextIsPassedOverWithoutBeingHeld) {
  std::string text;
  while (text.size() < (std::size_t{17} << 20)) text += "\x88\x9Fpc \x81\x40pc ";
  text += "\r\n\x87\x90pc\r\n";
  EXPECT_EQ(search(text, u"\u2252pc"), (Lines{u"\u2252pc"}));
}

}  // namespace
