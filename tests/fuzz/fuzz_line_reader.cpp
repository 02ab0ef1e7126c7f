// Any file, read through buffers a few bytes long: searching for a text
// finds exactly the lines that reading line by line and testing each finds,
// and reading line by line gives the same lines as with the usual buffer.
// Lines are many times the buffer here, so carrying, reading a line again,
// testing a line in pieces and line ends split across reads all happen.
// The first input bytes pick the needle's length, the code page (Windows-
// 1252, or a double-byte one with characters of two forms) and the buffer
// sizes; the needle is taken from the data. FUZZ_DEBUG=1 prints a failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "code_page.h"
#include "double_byte_code_page.h"
#include "line_reader.h"
#include "rooted_file_system.h"
#include "runtime/text.h"

namespace {

using Lines = std::vector<std::u16string>;

const std::filesystem::path& root() {
  static const auto path = [] {
    auto p = std::filesystem::temp_directory_path() / ("mactools-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p / "c");
    return p;
  }();
  return path;
}

Lines allLines(rt::FileSystem& fs, rt::LineReader::Limits limits) {
  rt::CodePage codePage(fs);
  rt::LineReader reader(fs.open(u"c:\\f.txt", rt::OpenMode::Input), codePage, limits);
  Lines lines;
  while (!reader.atEnd()) lines.push_back(reader.readLine());
  return lines;
}

void report(const std::u16string& needle, const Lines& expected, const Lines& found) {
  if (!std::getenv("FUZZ_DEBUG")) return;
  const auto show = [](const std::u16string& text) {
    std::string shown;
    for (const char16_t c : text) {
      char unit[12];
      std::snprintf(unit, sizeof unit, c >= 0x20 && c < 0x7F ? "%c" : "<%x>", static_cast<unsigned>(c));
      shown += unit;
    }
    return shown;
  };
  std::fprintf(stderr, "needle %s\n", show(needle).c_str());
  for (const auto& line : expected) std::fprintf(stderr, "expected %s\n", show(line).c_str());
  for (const auto& line : found) std::fprintf(stderr, "found    %s\n", show(line).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t needleSize = data[0] % 6;
  const bool doubleByte = data[0] / 6 % 2 != 0;
  rt::LineReader::Limits tiny;
  tiny.readSize = 1 + data[1] % 48;
  tiny.carriedLine = data[2] % 24;
  const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
  std::ofstream(root() / "c" / "f.txt", std::ios::binary) << bytes;

  rt::RootedFileSystem western(root());
  testing_support::DoubleByteCodePage japanese(western);
  rt::FileSystem& fs = doubleByte ? static_cast<rt::FileSystem&>(japanese) : western;
  const Lines lines = allLines(fs, {});
  if (allLines(fs, tiny) != lines) std::abort();

  // The needle: a piece of the text as read, so that it can match.
  std::u16string all;
  for (const auto& line : lines) all += line;
  const std::u16string needle = all.substr(all.size() / 3, needleSize);

  Lines expected, found;
  for (const auto& line : lines)
    if (rt::contains(line, needle)) expected.push_back(line);
  rt::CodePage codePage(fs);
  rt::LineReader reader(fs.open(u"c:\\f.txt", rt::OpenMode::Input), codePage, tiny);
  for (std::u16string line; reader.readLineContaining(needle, line);) found.push_back(line);
  if (found != expected || !reader.atEnd()) {
    report(needle, expected, found);
    std::abort();
  }
  return 0;
}
