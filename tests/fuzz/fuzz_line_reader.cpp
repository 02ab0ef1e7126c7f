// Any file, read through buffers a few bytes long: searching for a text
// finds exactly the lines that reading line by line and testing each finds,
// and reading line by line gives the same lines as with the usual buffer.
// Lines are many times the buffer here, so carrying, reading a line again
// and line ends split across reads all happen. The first input bytes pick
// the needle's length and the buffer sizes; the needle is taken from the data.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "line_reader.h"
#include "rooted_file_system.h"
#include "runtime/text.h"

namespace {

const std::filesystem::path& root() {
  static const auto path = [] {
    auto p = std::filesystem::temp_directory_path() / ("mactools-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p / "c");
    return p;
  }();
  return path;
}

std::vector<std::u16string> allLines(rt::RootedFileSystem& fs, rt::LineReader::Limits limits) {
  rt::LineReader reader(fs.open(u"c:\\f.txt", rt::OpenMode::Input), fs, limits);
  std::vector<std::u16string> lines;
  while (!reader.atEnd()) lines.push_back(reader.readLine());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t needleSize = data[0] % 6;
  rt::LineReader::Limits tiny;
  tiny.readSize = 1 + data[1] % 48;
  tiny.carriedLine = data[2] % 24;
  const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
  std::ofstream(root() / "c" / "f.txt", std::ios::binary) << bytes;

  rt::RootedFileSystem fs(root());
  const std::vector<std::u16string> lines = allLines(fs, {});
  if (allLines(fs, tiny) != lines) std::abort();

  // The needle: a piece of the text as read, so that it can match.
  std::u16string all;
  for (const auto& line : lines) all += line;
  const std::u16string needle = all.substr(all.size() / 3, needleSize);

  std::vector<std::u16string> expected, found;
  for (const auto& line : lines)
    if (rt::contains(line, needle)) expected.push_back(line);
  rt::LineReader reader(fs.open(u"c:\\f.txt", rt::OpenMode::Input), fs, tiny);
  for (std::u16string line; reader.readLineContaining(needle, line);) found.push_back(line);
  if (found != expected || !reader.atEnd()) std::abort();
  return 0;
}
