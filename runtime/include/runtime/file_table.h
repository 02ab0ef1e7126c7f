#pragma once
// Files opened under small numbers, as the programs' procedures use them.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/file_system.h"
#include "runtime/print_line.h"

namespace rt {

class CodePage;
class LineReader;

class FileTable {
 public:
  explicit FileTable(FileSystem& fs);
  ~FileTable();
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // The lowest number not open.
  int freeFile() const;
  bool isOpen(int number) const;

  // Error 55 when the number is in use; the file system's errors otherwise.
  void open(int number, std::u16string_view path, OpenMode mode);
  // Writes what is buffered and frees the number; the number is free even
  // when that last write fails, and an append that fails leaves nothing.
  void close(int number);
  // Frees the number without writing what is buffered: what a writer made
  // only in part never reaches the file. Called inside the number's own
  // close (the end of the session, landing in its write's wait), it lets go
  // of the file at once instead (File::drop), and the close frees it.
  void abandon(int number) noexcept;
  // Closes every open file, dropping what cannot be written.
  void closeAll() noexcept;
  // The file system's own (file_system.h).
  void remove(std::u16string_view path, bool waitForHolder = true) { fs_.remove(path, waitForHolder); }
  void rename(std::u16string_view from, std::u16string_view to) { fs_.rename(from, to); }
  std::vector<std::u16string> namesIn(std::u16string_view folder, std::u16string_view prefix,
                                      std::u16string_view suffix) {
    return fs_.namesIn(folder, prefix, suffix);
  }
  std::uint64_t sizeOf(std::u16string_view path) noexcept { return fs_.sizeOf(path); }

  // Line by line, for files whose reads never wait long: a read that waits
  // on the system (a pipe) is waited for here, with no window events.
  bool eof(int number);
  // The next line; it ends at CR LF, a lone CR or a lone LF.
  std::u16string lineInput(int number);

  // What one step of a search came to.
  enum class Search {
    Found,    // the next line that holds the text is in line
    End,      // no more lines hold it
    Paused,   // a read's worth (256 KiB) read without finding one
    Waiting,  // a read waits on the system: call again once readSignal is signalled
  };
  // Searches on for the next line that contains needle; the same lines as
  // reading line by line and testing each, only faster. A search never
  // reads more than 256 KiB, nor waits for a read, without returning, so
  // that its caller can run the window's events and show how far it is;
  // called again, it goes on where it paused.
  Search lineInputContaining(int number, std::u16string_view needle, std::u16string& line);
  // The next line, in steps as a search makes them: Found with it, or End.
  Search nextLine(int number, std::u16string& line) { return lineInputContaining(number, {}, line); }
  // While a step is Waiting: what the read's completion signals (for
  // WindowSystem::waitFor); null once the read has its data.
  Signal* readSignal(int number);
  // Bytes read from a file open for input so far; bytes read again (the
  // start of a line found after it was passed over) count again.
  std::uint64_t bytesRead(int number);

  // Writes one line in the system code page, ended by CR LF. In append mode
  // all lines reach the file at close, whole or not at all (appendLines in
  // file_system.h); in the output modes they go out in pieces of at least
  // 64 KiB.
  void printLine(int number, std::initializer_list<PrintItem> items);

 private:
  struct Entry;
  Entry& entry(int number, OpenMode wanted);
  // Frees the number. A read the file has under way is cancelled after
  // the entry has left the table: the cancel's wait answers the system,
  // whose end of the session may close or abandon files meanwhile.
  void release(int number) noexcept;

  FileSystem& fs_;
  std::unique_ptr<CodePage> codePage_;  // shared by the readers, so its census is taken once
  std::map<int, std::unique_ptr<Entry>> open_;
};

// A numbered file open for the guard's life. close() writes what was
// printed and frees the number. A guard that ends without close(), on an
// error's way out, abandons the file: what was made only in part never
// reaches it, and the number is free for the next user.
class OpenFile {
 public:
  OpenFile(FileTable& files, int number, std::u16string_view path, OpenMode mode)
      : files_(&files), number_(number) {
    // Made only once the open succeeded: a number that was taken already
    // belongs to someone else.
    files.open(number, path, mode);
  }
  ~OpenFile() {
    if (files_) files_->abandon(number_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  int number() const { return number_; }
  // Error as FileTable::close; the number is free either way.
  void close() {
    if (FileTable* files = std::exchange(files_, nullptr)) files->close(number_);
  }

 private:
  FileTable* files_;
  int number_;
};

}  // namespace rt
