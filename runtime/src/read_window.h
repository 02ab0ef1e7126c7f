#pragma once
// A window over a file's bytes that speaks only in file offsets. It holds
// bytes [begin(), end()) of the file and moves on by dropping what lies
// before an offset the caller keeps and reading on after end().
//
// Memory: twice the read size while callers keep less than one read size;
// more (doubling, so a long kept stretch is copied in linear time) only
// while they keep more, and back to twice the read size after.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/file_system.h"

namespace rt {

class ReadWindow {
 public:
  ReadWindow(std::unique_ptr<File> file, std::size_t readSize);

  std::uint64_t begin() const { return base_; }
  std::uint64_t end() const { return base_ + size_; }
  // Whether a read has found the end of the file since the last rewind.
  bool atFileEnd() const { return eof_; }
  // Bytes read from the file so far, a stretch read again counting again.
  std::uint64_t bytesRead() const { return bytesRead_; }

  // File bytes [from, to); begin() <= from <= to <= end().
  std::string_view bytes(std::uint64_t from, std::uint64_t to) const {
    return {buf_.get() + (from - base_), static_cast<std::size_t>(to - from)};
  }

  // The file's first size bytes (all of a shorter file), read when the
  // window holds none yet.
  std::string_view start(std::size_t size);

  // Drops the bytes before keep (begin() <= keep <= end()) and reads up to
  // the read size more after end(). False, with nothing dropped or read, at
  // the file's end.
  bool fill(std::uint64_t keep);

  // Holds nothing; the next fill reads from offset.
  void rewind(std::uint64_t offset);

 private:
  std::unique_ptr<File> file_;
  const std::size_t readSize_;
  const std::size_t baseCapacity_;
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::uint64_t base_ = 0;  // file offset of buf_[0]
  std::uint64_t bytesRead_ = 0;
  bool eof_ = false;
};

}  // namespace rt
