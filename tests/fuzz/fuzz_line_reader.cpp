// Any file: searching for a text finds exactly the lines that reading line
// by line and testing each finds. The first input byte picks the needle's
// length; the needle is taken from the data.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "rooted_file_system.h"
#include "runtime/file_table.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t needleSize = data[0] % 6;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::ofstream(root() / "c" / "f.txt", std::ios::binary) << bytes;

  rt::RootedFileSystem fs(root());
  rt::FileTable files(fs);
  std::vector<std::u16string> lines;
  files.open(1, u"c:\\f.txt", rt::OpenMode::Input);
  while (!files.eof(1)) lines.push_back(files.lineInput(1));
  files.close(1);

  // The needle: a piece of the text as read, so that it can match.
  std::u16string all;
  for (const auto& line : lines) all += line;
  const std::u16string needle = all.substr(all.size() / 3, needleSize);

  std::vector<std::u16string> expected, found;
  for (const auto& line : lines)
    if (rt::contains(line, needle)) expected.push_back(line);
  files.open(2, u"c:\\f.txt", rt::OpenMode::Input);
  for (std::u16string line; files.lineInputContaining(2, needle, line);) found.push_back(line);
  files.close(2);
  if (found != expected) std::abort();
  return 0;
}
