#include <gtest/gtest.h>

#include <algorithm>

#include "counting_heap.h"
#include "fixture.h"
#include "runtime/error.h"
#include "runtime/file_table.h"

namespace {

using rt::OpenMode;
using testing_support::errorOf;
using testing_support::searchOn;

class Files : public testing_support::World {
 protected:
  rt::FileTable& files = services_.files;
};

TEST_F(Files, NumbersAreHandedOutLowestFirstAndCannotBeOpenedTwice) {
  EXPECT_EQ(files.freeFile(), 1);
  files.open(1, u"c:\\temp\\a.txt", OpenMode::Output);
  files.open(3, u"c:\\temp\\b.txt", OpenMode::Output);
  EXPECT_EQ(files.freeFile(), 2);
  EXPECT_EQ(errorOf([&] { files.open(1, u"c:\\temp\\c.txt", OpenMode::Output); }), rt::err::FileAlreadyOpen);
  files.close(1);
  EXPECT_EQ(files.freeFile(), 1);
  // Numbers run from 1 to 511; the files here hold nothing (a C runtime
  // has fewer streams than that).
  struct EmptyFiles : rt::FileSystem {
    std::string encode(std::u16string_view) override { return {}; }
    std::u16string decode(std::string_view) override { return {}; }
    std::unique_ptr<rt::File> openFile(std::u16string_view, OpenMode) override {
      struct Empty : rt::File {
        std::size_t read(char*, std::size_t) override { return 0; }
        void seek(std::uint64_t) override {}
        void write(std::string_view) override {}
        std::uint64_t size() override { return 0; }
        void truncate(std::uint64_t) override {}
        void drop() noexcept override {}
      };
      return std::make_unique<Empty>();
    }
    void removeFile(std::u16string_view, bool) override {}
    void renameFile(std::u16string_view, std::u16string_view) override {}
    std::vector<std::u16string> namesIn(std::u16string_view, std::u16string_view, std::u16string_view) override {
      return {};
    }
  } empty;
  rt::FileTable numbers(empty);
  EXPECT_EQ(errorOf([&] { numbers.open(0, u"x", OpenMode::Input); }), rt::err::BadFileNameOrNumber);
  EXPECT_EQ(errorOf([&] { numbers.open(512, u"x", OpenMode::Input); }), rt::err::BadFileNameOrNumber);
  for (int n = 1; n <= 510; ++n) numbers.open(n, u"x", OpenMode::Input);
  EXPECT_EQ(numbers.freeFile(), 511);
  numbers.open(511, u"x", OpenMode::Input);
  EXPECT_EQ(errorOf([&] { numbers.freeFile(); }), rt::err::BadFileNameOrNumber);
}

TEST_F(Files, OpenReportsMissingFileAndMissingFolderApart) {
  EXPECT_EQ(errorOf([&] { files.open(1, u"c:\\temp\\none.txt", OpenMode::Input); }), rt::err::FileNotFound);
  EXPECT_EQ(errorOf([&] { files.open(1, u"c:\\nowhere\\x.txt", OpenMode::Append); }), rt::err::PathNotFound);
  EXPECT_EQ(errorOf([&] { files.open(1, u"", OpenMode::Input); }), rt::err::BadFileNameOrNumber);
  EXPECT_FALSE(files.isOpen(1));
}

// As on Windows before 10 1903, and on FAT and shares still: a deleted file
// that another program holds keeps its name until that program lets go.
TEST_F(Files, AFileDeletedWhileHeldKeepsItsNameUntilItsHolderLetsGoButCanBeRenamed) {
  write(u"c:\\temp\\a.txt", "old");
  write(u"c:\\temp\\b.txt", "held alone");
  auto sharing = fs_.hold(u"c:\\temp\\a.txt", true);
  files.remove(u"c:\\temp\\a.txt");
  EXPECT_EQ(errorOf([&] { files.open(1, u"c:\\temp\\a.txt", OpenMode::Append); }), rt::err::PathFileAccessError);
  EXPECT_EQ(errorOf([&] { files.open(1, u"c:\\temp\\a.txt", OpenMode::NewOutput); }), rt::err::FileAlreadyExists);
  EXPECT_EQ(errorOf([&] { files.rename(u"c:\\temp\\b.txt", u"c:\\temp\\a.txt"); }), rt::err::FileAlreadyExists);
  files.rename(u"c:\\temp\\a.txt", u"c:\\temp\\c.txt");
  EXPECT_EQ(read(u"c:\\temp\\c.txt"), "old");
  std::vector<std::u16string> names = files.namesIn(u"c:\\temp", u"", u".TXT");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"b.txt", u"c.txt"}));
  sharing.reset();
  EXPECT_FALSE(exists(u"c:\\temp\\c.txt"));
  // A holder that shares no delete refuses delete and rename alike.
  auto alone = fs_.hold(u"c:\\temp\\b.txt", false);
  for (const auto& attempt : std::vector<std::function<void()>>{
           [&] { files.remove(u"c:\\temp\\b.txt"); },
           [&] { files.rename(u"c:\\temp\\b.txt", u"c:\\temp\\d.txt"); }}) {
    try {
      attempt();
      ADD_FAILURE() << "a file held alone was deleted or renamed";
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.systemCode(), rt::kSharingViolation);
    }
  }
  EXPECT_EQ(read(u"c:\\temp\\b.txt"), "held alone");
}

TEST_F(Files, ReadingPastTheEndIsAnError) {
  write(u"c:\\temp\\one.txt", "x\r\n");
  files.open(2, u"c:\\temp\\one.txt", OpenMode::Input);
  files.lineInput(2);
  EXPECT_EQ(errorOf([&] { files.lineInput(2); }), rt::err::InputPastEndOfFile);
}

// Lines far longer than the read buffer: one without the text is passed
// over, one with it far from its start is returned whole.
TEST_F(Files, SearchingFindsLongLinesWholeAndPassesOverOthers) {
  const std::string half(3'000'000, 'x');
  const std::string text = "a\r\n" + half + "00-1a" + half + "\r\nb 00-1a\r\n" + std::string(20'000'000, 'y');
  for (const bool utf16 : {false, true}) {
    std::string bytes = text;
    if (utf16) {
      bytes = "\xFF\xFE";
      for (char c : text) bytes += std::string{c, '\0'};
    }
    write(u"c:\\temp\\long.txt", bytes);
    files.open(2, u"c:\\temp\\long.txt", OpenMode::Input);
    std::u16string line;
    ASSERT_TRUE(searchOn(files, 2, u"00-1a", line));
    EXPECT_EQ(line.size(), 2 * half.size() + 5);
    EXPECT_EQ(line.substr(half.size() - 1, 7), u"x00-1ax");
    ASSERT_TRUE(searchOn(files, 2, u"00-1a", line));
    EXPECT_EQ(line, u"b 00-1a");
    EXPECT_FALSE(searchOn(files, 2, u"00-1a", line));
    EXPECT_TRUE(files.eof(2));
    files.close(2);
  }
}

// What the search holds does not grow with a line it passes over, and the
// buffer that grew for a long line it had to hold is back at its base size
// once the search is past it. Measured in bytes held, not in time.
TEST_F(Files, ASearchHoldsBoundedMemoryPastLongLinesAndShrinksBackAfterALongMatch) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const std::string passedOver(64 * kMiB, 'x');
  const std::string text = std::string(12 * kMiB, 'y') + " 00-1a\r\n" + passedOver + "\r\nb 00-1a\r\n";
  write(u"c:\\temp\\long.txt", text);
  const std::size_t before = counting_heap::now();
  files.open(2, u"c:\\temp\\long.txt", OpenMode::Input);
  {
    std::u16string held;
    ASSERT_TRUE(searchOn(files, 2, u"00-1a", held));
    EXPECT_EQ(held.size(), 12 * kMiB + 6);
  }
  // Held now: the buffer, grown to 16 MiB for the long line, and little else.
  const std::size_t atLongLine = counting_heap::now();
  ASSERT_GT(atLongLine - before, 12 * kMiB);
  counting_heap::resetMost();
  std::u16string line;
  ASSERT_TRUE(searchOn(files, 2, u"00-1a", line));
  EXPECT_EQ(line, u"b 00-1a");
  const std::uint64_t read = files.bytesRead(2);
  // Passing over 64 MiB added at most a new read buffer (512 KiB) to what
  // was held, and the grown buffer is gone: what the open file holds is
  // back to a fixed amount (today 3.5 MiB: the read buffer, and the pieces
  // the long match was first tested in, kept for reuse).
  EXPECT_LT(counting_heap::most() - atLongLine, kMiB);
  EXPECT_LT(counting_heap::now() - before, 4 * kMiB);
  files.close(2);
  // Linear time: every byte is read once, and the long match's line twice
  // more from its start, as it began in bytes passed over: once tested in
  // pieces, once held.
  EXPECT_LT(read, text.size() + 25 * kMiB);
}

TEST_F(Files, ALineTooLongToHoldIsOutOfMemory) {
  write(u"c:\\temp\\huge.txt", std::string(17'000'000, 'z') + "\r\nz\r\n");
  files.open(2, u"c:\\temp\\huge.txt", OpenMode::Input);
  EXPECT_EQ(errorOf([&] { files.lineInput(2); }), rt::err::OutOfMemory);
  files.close(2);
  files.open(2, u"c:\\temp\\huge.txt", OpenMode::Input);
  std::u16string line;
  EXPECT_EQ(errorOf([&] { searchOn(files, 2, u"z", line); }), rt::err::OutOfMemory);
}

TEST_F(Files, SearchingForAReplacementCharacterFindsBrokenUtf8) {
  write(u"c:\\temp\\b.txt", "\xEF\xBB\xBF" "ok\nbro\xC3ken\n");
  files.open(2, u"c:\\temp\\b.txt", OpenMode::Input);
  std::u16string line;
  ASSERT_TRUE(searchOn(files, 2, u"\uFFFD", line));
  EXPECT_EQ(line, u"bro\uFFFDken");
}

// Such a search decodes each line with a high byte to test it; one far
// longer than the longest line that may be held is tested in pieces.
TEST_F(Files, SearchingForAReplacementCharacterPassesOverALongLineWithoutOne) {
  std::string text = "\xEF\xBB\xBF";
  while (text.size() < (std::size_t{17} << 20)) text += "caf\xC3\xA9 ";
  write(u"c:\\temp\\b.txt", text + "\nbro\xC3ken\n");
  files.open(2, u"c:\\temp\\b.txt", OpenMode::Input);
  std::u16string line;
  ASSERT_TRUE(searchOn(files, 2, u"\uFFFD", line));
  EXPECT_EQ(line, u"bro\uFFFDken");
  EXPECT_FALSE(searchOn(files, 2, u"\uFFFD", line));
}

TEST_F(Files, SearchingForEmptyTextFindsEveryNonEmptyLine) {
  write(u"c:\\temp\\s.txt", "a\r\n\r\nb\r\n");
  files.open(2, u"c:\\temp\\s.txt", OpenMode::Input);
  std::vector<std::u16string> found;
  for (std::u16string line; searchOn(files, 2, u"", line);) found.push_back(line);
  EXPECT_EQ(found, (std::vector<std::u16string>{u"a", u"b"}));
}

TEST_F(Files, PrintedLinesAreCodePageTextWithCrLfAndAppendExtends) {
  files.open(1, u"c:\\temp\\p.txt", OpenMode::Append);
  files.printLine(1, {u"caf\u00e9", rt::zone, u"\u20ac"});
  files.close(1);
  files.open(1, u"c:\\temp\\p.txt", OpenMode::Append);
  files.printLine(1, {u"x"});
  files.close(1);
  EXPECT_EQ(read(u"c:\\temp\\p.txt"), "caf\xE9          \x80\r\nx\r\n");
  files.open(1, u"c:\\temp\\p.txt", OpenMode::Output);
  files.close(1);
  EXPECT_EQ(read(u"c:\\temp\\p.txt"), "");
}

TEST_F(Files, AppendedLinesReachTheFileInOneWriteAtAnySize) {
  testing_support::CountedWrites counted(fs_);
  rt::FileTable table(counted);
  const std::u16string host(70'000, u'h');
  table.open(1, u"c:\\temp\\log.txt", OpenMode::Append);
  for (int i = 0; i < 6; ++i) table.printLine(1, {rt::zone, host});
  table.close(1);
  EXPECT_EQ(counted.writes, std::vector<std::size_t>{6 * (14 + host.size() + 2)});
  EXPECT_EQ(read(u"c:\\temp\\log.txt").size(), 6 * (14 + host.size() + 2));
  // Output goes out as it passes 64 KiB, and a table that ends with a file
  // open writes what it still holds.
  counted.writes.clear();
  {
    rt::FileTable ending(counted);
    ending.open(2, u"c:\\temp\\out.txt", OpenMode::Output);
    for (int i = 0; i < 6; ++i) ending.printLine(2, {rt::zone, host});
    ending.printLine(2, {u"last"});
  }
  std::vector<std::size_t> lines(6, 14 + host.size() + 2);
  lines.push_back(6);
  EXPECT_EQ(counted.writes, lines);
  EXPECT_EQ(read(u"c:\\temp\\out.txt").size(), 6 * (14 + host.size() + 2) + 6);
}

TEST_F(Files, APathHoldingANulNamesNoFile) {
  write(u"c:\\temp\\a.txt", "x\r\n");
  const std::u16string path(u"c:\\temp\\a.txt\0junk", 18);
  try {
    files.open(1, path, OpenMode::Input);
    FAIL() << "opened";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.number(), rt::err::BadFileNameOrNumber);
    EXPECT_EQ(e.description(), u"Bad file name or number: c:\\temp\\a.txt<NUL>junk");
  }
  EXPECT_EQ(errorOf([&] { fs_.remove(path); }), rt::err::BadFileNameOrNumber);
  EXPECT_TRUE(exists(u"c:\\temp\\a.txt"));
}

TEST_F(Files, AFailedLastWriteStillFreesTheNumber) {
  testing_support::Faults failing(fs_, 0, true);
  rt::FileTable table(failing);
  table.open(1, u"c:\\temp\\f.txt", OpenMode::Append);
  table.printLine(1, {u"x"});
  EXPECT_THROW(table.close(1), rt::Error);
  EXPECT_FALSE(table.isOpen(1));
}

}  // namespace
