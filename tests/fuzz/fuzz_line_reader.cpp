// Any file, read and searched at any limits, against the plain reference
// of reference_reader.h (its own decoders, the whole file cut at its line
// ends). The first input bytes pick the code page (Windows-1252, or a
// double-byte one with characters of two forms), whether every read
// waits (and whether the file is a pipe, which cannot seek), the limits,
// and the needle: a piece of the reference's text, so that it can match, or U+FFFD,
// which only decoding finds. FUZZ_DEBUG=1 prints a failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "double_byte_code_page.h"
#include "reference_reader.h"
#include "rooted_file_system.h"

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
  if (size < 4) return 0;
  const std::size_t needleSize = data[0] % 7;  // 6: U+FFFD
  const bool doubleByte = data[0] / 7 % 2 != 0;
  const unsigned reads = data[0] / 14 % 3;  // 0: at once; 1: each waits; 2: each waits, on a pipe
  rt::LineLimits limits;
  limits.readSize = 1 + data[1] % 48;
  limits.carriedLine = data[2] % 24;
  if (data[3] % 2 != 0) limits.maxLine = 2 * limits.readSize + data[3] / 2 % 48;
  const std::string bytes(reinterpret_cast<const char*>(data) + 4, size - 4);
  std::ofstream(root() / "c" / "f.txt", std::ios::binary) << bytes;

  rt::RootedFileSystem western(root());
  testing_support::DoubleByteCodePage japanese(western);
  rt::FileSystem& plain = doubleByte ? static_cast<rt::FileSystem&>(japanese) : western;
  testing_support::WaitingReads waiting(plain, reads == 2);
  rt::FileSystem& fs = reads != 0 ? static_cast<rt::FileSystem&>(waiting) : plain;
  std::u16string all;
  for (const auto& line : testing_support::referenceLines(bytes, fs)) all += line.text;
  const std::u16string needle = needleSize == 6 ? u"\uFFFD" : all.substr(all.size() / 3, needleSize);

  const std::string difference = testing_support::readerDiffers(fs, u"c:\\f.txt", bytes, needle, limits);
  if (difference.empty()) return 0;
  if (std::getenv("FUZZ_DEBUG")) std::fprintf(stderr, "%s\n", difference.c_str());
  std::abort();
}
