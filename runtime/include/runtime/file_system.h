#pragma once
// Byte files behind the numbered-file table. Each backend provides one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Output creates or empties the file; NewOutput writes a file that must not
// exist yet (error 58 when the name is taken).
enum class OpenMode { Output, Append, Input, NewOutput };

// Windows' code for a file that another program holds without sharing it
// (ERROR_SHARING_VIOLATION). Every backend's errors carry it for that case,
// so that a caller can tell a holder that may let go from a refusal.
inline constexpr std::uint32_t kSharingViolation = 32;

// What the system signals when something it does for the program is done:
// a read that waited completing. Portable code only hands it to the window
// system's wait (WindowSystem::waitFor); each backend knows its own kind.
class Signal {
 public:
  virtual ~Signal() = default;
};

class File {
 public:
  // What read returns for a read that the system has not completed.
  static constexpr std::size_t kPending = ~std::size_t{0};

  virtual ~File() = default;
  // Reads up to size bytes: their count, 0 only at the end of the file.
  // A file whose data may not be there yet (a pipe, a share that stalls)
  // returns kPending for a read the system has not completed: buffer is
  // then the read's, and stays where it is, until a read with the same
  // buffer and size returns the count (readSignal says when), or
  // cancelRead says it is free.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // While a read is pending: what its completion signals; null otherwise.
  virtual Signal* readSignal() noexcept { return nullptr; }
  // Blocks until the pending read completes, for a reader with no window
  // to keep alive.
  virtual void awaitRead() {}
  // Asks the system to give up the pending read and waits for it to end,
  // answering the system meanwhile, for a limited time. True when no read
  // is under way any more; false when one may still land in its buffer,
  // which must then stay allocated for the rest of the process, and the
  // file is given up: every later read of it is an error. A file's
  // destructor never waits: one with a read under way gives it up.
  virtual bool cancelRead() noexcept { return true; }
  // Whether seek can go back: false for a pipe, whose bytes pass once.
  virtual bool canSeek() const noexcept { return true; }
  // Moves the read position to offset bytes from the start of the file.
  virtual void seek(std::uint64_t offset) = 0;
  // Writes all bytes, in one piece where the system takes them at once: in
  // output mode at the position, in append mode at the end of the file,
  // even with other writers appending at the same time. An error once some
  // of them may have landed (disk full: error 61). Appends go through
  // appendLines below.
  virtual void write(std::string_view bytes) = 0;

  // For appendLines. The file's size in bytes.
  virtual std::uint64_t size() = 0;
  // Cuts the file back to size bytes.
  virtual void truncate(std::uint64_t size) = 0;
  // Holds the file's append turn among copies of these programs from
  // beginAppend to endAppend; nothing where the system needs no turns.
  virtual void beginAppend() {}
  virtual void endAppend() noexcept {}
  // Lets go of the system's file at once, even with a write of it under
  // way further out (the end of the session landing in its wait): nothing
  // more reaches the file, and it can be deleted.
  virtual void drop() noexcept = 0;
};

// Appends bytes that are whole lines to a file opened for appending, in
// its append turn: they start on a line of their own (the line end a file
// lacks goes first) and reach the file whole or not at all. A write that
// fails part way (disk full, a quota) is cut back to the file's length
// before it, so that what the file held stays byte for byte, and the
// write's error is thrown; when the cut fails too (a network drive gone),
// its description says that a part may remain.
void appendLines(File& file, std::string_view lines);

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Error 53, 76, 75 or 52 when the file or its folder cannot be used; a
  // path holding a NUL names no file (error 52), whatever the backend.
  std::unique_ptr<File> open(std::u16string_view path, OpenMode mode);
  // An absent file is no error; an existing one that stays is error 75. A
  // file that another program holds without sharing it is waited for (where
  // the backend can wait) unless waitForHolder is false. A file held by a
  // program that lets others delete it is deleted, but on Windows its name
  // stays taken until that program lets go: rename it first to free it.
  void remove(std::u16string_view path, bool waitForHolder = true);
  // Gives the file at from the name to, in the same folder, and never
  // replaces a file: error 58 when to is taken (also by a file whose delete
  // is pending), 53 when from is absent, 75 when a program holds from
  // without letting others delete it (waited for as remove does).
  void rename(std::u16string_view from, std::u16string_view to);
  // The names, without the folder, of the files in folder whose names begin
  // with prefix and end with suffix (compared ignoring case); none when the
  // folder cannot be read.
  virtual std::vector<std::u16string> namesIn(std::u16string_view folder, std::u16string_view prefix,
                                              std::u16string_view suffix) = 0;
  // The file's size in bytes, or 0 when it cannot be known (no such file):
  // for showing progress, never an error.
  virtual std::uint64_t sizeOf(std::u16string_view path) noexcept {
    (void)path;
    return 0;
  }
  // Text to and from the system's 8-bit code page.
  virtual std::string encode(std::u16string_view text) = 0;
  virtual std::u16string decode(std::string_view bytes) = 0;

 protected:
  // The backend's part, for paths without a NUL.
  virtual std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode) = 0;
  virtual void removeFile(std::u16string_view path, bool waitForHolder) = 0;
  virtual void renameFile(std::u16string_view from, std::u16string_view to) = 0;
};

}  // namespace rt
