#pragma once
// Streams the lines of one input file. The encoding follows a byte-order
// mark (UTF-16LE, UTF-16BE or UTF-8); without one the file is in the system
// code page.
// Lines end at CR LF, a lone CR or a lone LF.
//
// Memory: a buffer of twice the read size (reads fill what is free of it)
// plus the line being returned.
// Searching passes over lines without the search text without holding them
// (only up to 64 KiB of the line in progress when a buffer ends), in time
// linear in the bytes read, whatever the line lengths. A line that has to
// be held (read, or found by a search) may be up to 16 MiB long; a longer
// one is error 7 (Out of memory).
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/file_system.h"

namespace rt {

// Sizes in bytes; tests make them small to reach every edge quickly.
struct LineLimits {
  std::size_t readSize = std::size_t{1} << 18;
  std::size_t carriedLine = std::size_t{1} << 16;
  std::size_t maxLine = std::size_t{16} << 20;
};

class LineReader {
 public:
  using Limits = LineLimits;

  LineReader(std::unique_ptr<File> file, FileSystem& fs, Limits limits = {});
  ~LineReader();

  bool atEnd();
  std::u16string readLine();
  // Skips to the next line that contains needle and returns true with it
  // in line; false at the end of the file.
  bool readLineContaining(std::u16string_view needle, std::u16string& line);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt
