#pragma once
// Streams the lines of one input file. The encoding follows a byte-order
// mark (UTF-16LE or UTF-8); without one the file is in the system code page.
// Memory holds at most a buffer and the current line.
#include <memory>
#include <string>
#include <string_view>

#include "runtime/file_system.h"

namespace rt {

class LineReader {
 public:
  LineReader(std::unique_ptr<File> file, FileSystem& fs);
  ~LineReader();

  bool atEnd();
  std::u16string readLine();
  bool readLineContaining(std::u16string_view needle, std::u16string& line);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt
