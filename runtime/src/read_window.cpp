#include "read_window.h"

#include <algorithm>
#include <cstring>

namespace rt {

ReadWindow::ReadWindow(std::unique_ptr<File> file, std::size_t readSize)
    : file_(std::move(file)), readSize_(readSize), baseCapacity_(2 * readSize) {}

std::string_view ReadWindow::start(std::size_t size) {
  while (end() < size && fill(base_)) {
  }
  return bytes(0, std::min<std::uint64_t>(end(), size));
}

bool ReadWindow::fill(std::uint64_t keep) {
  if (eof_) return false;
  const auto from = static_cast<std::size_t>(keep - base_);
  const std::size_t held = size_ - from;
  const std::size_t want = held + readSize_;
  std::size_t capacity = capacity_;
  if (capacity_ < want)
    capacity = std::max({want, 2 * capacity_, baseCapacity_});
  else if (capacity_ > baseCapacity_ && want <= baseCapacity_)
    capacity = baseCapacity_;  // done with a long kept stretch
  if (capacity != capacity_) {
    auto other = std::make_unique_for_overwrite<char[]>(capacity);
    if (held != 0) std::memcpy(other.get(), buf_.get() + from, held);
    buf_ = std::move(other);
    capacity_ = capacity;
  } else if (from != 0 && held != 0) {
    std::memmove(buf_.get(), buf_.get() + from, held);
  }
  base_ = keep;
  size_ = held;
  // One read size at a time, however much room there is: a search pauses
  // between reads (line_reader.h), and so never reads more than one
  // without returning to its caller.
  const std::size_t got = file_->read(buf_.get() + size_, std::min(capacity_ - size_, readSize_));
  if (got == 0) {
    eof_ = true;
    return false;
  }
  size_ += got;
  bytesRead_ += got;
  return true;
}

void ReadWindow::rewind(std::uint64_t offset) {
  file_->seek(offset);
  base_ = offset;
  size_ = 0;
  eof_ = false;
}

}  // namespace rt
