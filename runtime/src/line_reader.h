#pragma once
// Streams the lines of one input file (encodings and line ends:
// line_codec.h), and searches them for a text.
//
// Memory: a read window of twice the read size (read_window.h) plus the
// line being returned. A search passes over lines without the text
// without holding them: it keeps up to carriedLine bytes of the line in
// progress when a read ends, and tests a line longer than what is held in
// pieces, cut where decoding can start again. Time is linear in the bytes
// read, whatever the line lengths. A line that has to be held (read, or
// found by a search) may be up to maxLine bytes long; a longer one is
// error 7 (Out of memory). In a double-byte code page a piece ends after
// an ASCII byte, where no pair can start, so a search may also end with
// error 7 at a run of more than maxLine bytes without one.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/file_system.h"
#include "runtime/file_table.h"

namespace rt {

class CodePage;
class LineSearch;
class ReadWindow;

// Sizes in bytes; tests make them small to reach every edge quickly.
struct LineLimits {
  std::size_t readSize = std::size_t{1} << 18;
  std::size_t carriedLine = std::size_t{1} << 16;
  std::size_t maxLine = std::size_t{16} << 20;
};

class LineReader {
 public:
  using Limits = LineLimits;

  LineReader(std::unique_ptr<File> file, CodePage& codePage, Limits limits = {});
  ~LineReader();

  // Line by line; a read that waits on the system is waited for here.
  bool atEnd();
  std::u16string readLine();
  // Skips to the next line that contains needle: Found with it in line, or
  // End. Finds exactly the lines that reading line by line and testing each
  // finds. Paused before it would read more than one read size in one call,
  // also while it holds a long line it found; Waiting while a read waits on
  // the system (readSignal). The next call goes on there. The first call
  // reads the file's start, which says its encoding.
  FileTable::Search search(std::u16string_view needle, std::u16string& line);
  std::uint64_t bytesRead() const;
  // While the search is Waiting: what the read's completion signals.
  Signal* readSignal() const noexcept;
  // Cancels a read under way (ReadWindow::cancel), before the reader goes.
  void cancelRead() noexcept;

 private:
  // Makes impl_ once the file's first bytes are held; false while their
  // read waits, unless mayWait.
  bool begun(bool mayWait);

  // Until then, the window that reads them.
  std::unique_ptr<ReadWindow> opening_;
  CodePage& codePage_;
  Limits limits_;
  std::unique_ptr<LineSearch> impl_;
};

}  // namespace rt
