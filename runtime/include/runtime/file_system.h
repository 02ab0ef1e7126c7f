#pragma once
// Byte files behind the numbered-file table. Each backend provides one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

enum class OpenMode { Output, Append, Input };

class File {
 public:
  virtual ~File() = default;
  // Reads up to size bytes; 0 only at the end of the file.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // Moves the read position to offset bytes from the start of the file.
  virtual void seek(std::uint64_t offset) = 0;
  // Writes all bytes at once; in append mode they land at the end of the
  // file as one piece, even with other writers appending at the same time.
  virtual void write(std::string_view bytes) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Error 53, 76, 75 or 52 when the file or its folder cannot be used; a
  // path holding a NUL names no file (error 52), whatever the backend.
  std::unique_ptr<File> open(std::u16string_view path, OpenMode mode);
  // An absent file is no error; an existing one that stays is error 75.
  void remove(std::u16string_view path);
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
  virtual void removeFile(std::u16string_view path) = 0;
};

}  // namespace rt
