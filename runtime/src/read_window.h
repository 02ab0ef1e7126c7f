#pragma once
// A window over a file's bytes that speaks only in file offsets. It holds
// bytes [begin(), end()) of the file and moves on by dropping what lies
// before an offset the caller keeps and reading on after end().
//
// Memory: twice the read size while callers keep less than one read size;
// more (doubling, so a long kept stretch is copied in linear time) only
// while they keep more, and back to twice the read size after.
//
// A read may wait on the system (a pipe, a share that stalls): ready()
// starts it and says whether it has its data, so that a caller with a
// window to keep alive can wait elsewhere and come back. While a read is
// under way the bytes held stay where they are, and the caller keeps the
// same offset until fill() takes the read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "runtime/file_system.h"

namespace rt {

class ReadWindow {
 public:
  ReadWindow(std::unique_ptr<File> file, std::size_t readSize);
  ReadWindow(ReadWindow&&) = default;
  // Never waits: a read still under way (cancel() was not called) keeps
  // its buffer allocated for the rest of the process.
  ~ReadWindow();

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
  // Whether the first size bytes are held (or the whole shorter file):
  // reads once for them at most, and not while the read waits.
  bool started(std::size_t size);

  // Whether the next fill(keep) has its data without waiting: starts its
  // read (dropping the bytes before keep) unless one is under way, and
  // says whether the system has completed it. True at the file's end.
  bool ready(std::uint64_t keep);
  // A read is under way that the system has not completed; its signal.
  bool waiting() const { return reading_ && got_ == File::kPending; }
  Signal* signal() const noexcept { return waiting() ? file_->readSignal() : nullptr; }

  // Drops the bytes before keep (begin() <= keep <= end()) and reads up to
  // the read size more after end(), waiting for a read that waits. False,
  // with nothing dropped or read, at the file's end.
  bool fill(std::uint64_t keep);

  // Cancels a read under way and waits for its end, answering the system,
  // for a limited time (File::cancelRead). When it may still land, its
  // buffer stays allocated, and reachable, for the rest of the process.
  // Nothing is read after it.
  void cancel() noexcept;

  // Whether rewind can go back before begin(): a pipe's bytes pass once.
  bool canSeek() const { return file_->canSeek(); }
  // Holds nothing; the next fill reads from offset.
  void rewind(std::uint64_t offset);

 private:
  void makeRoom(std::uint64_t keep);

  std::unique_ptr<File> file_;
  std::size_t readSize_;
  std::size_t baseCapacity_;
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  std::uint64_t base_ = 0;  // file offset of buf_[0]
  std::uint64_t bytesRead_ = 0;
  bool eof_ = false;
  // The read under way, into buf_ at size_: what was asked, and its count
  // (File::kPending until the system completes it).
  bool reading_ = false;
  std::size_t asked_ = 0, got_ = 0;
};

}  // namespace rt
