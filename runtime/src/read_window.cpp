#include "read_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rt {

ReadWindow::ReadWindow(std::unique_ptr<File> file, std::size_t readSize)
    : file_(std::move(file)), readSize_(readSize), baseCapacity_(2 * readSize) {}

namespace {

// A buffer that the system may still write into (a read given up for lost)
// stays allocated until the process ends, held from here so that it stays
// reachable.
void keepForever(std::unique_ptr<char[]> buffer) noexcept {
  static auto* const kept = new std::vector<std::unique_ptr<char[]>>();  // never freed
  try {
    kept->push_back(std::move(buffer));
  } catch (...) {
    (void)buffer.release();  // no memory to note it in: unreachable, but never freed
  }
}

}  // namespace

ReadWindow::~ReadWindow() {
  if (file_ && waiting()) keepForever(std::move(buf_));
}

void ReadWindow::cancel() noexcept {
  if (!file_ || !waiting()) return;
  if (!file_->cancelRead()) keepForever(std::move(buf_));
  reading_ = false;
  eof_ = true;
}

std::string_view ReadWindow::start(std::size_t size) {
  while (end() < size && fill(base_)) {
  }
  return bytes(0, std::min<std::uint64_t>(end(), size));
}

bool ReadWindow::started(std::size_t size) {
  if (end() < size && ready(base_)) fill(base_);
  return end() >= size || eof_;
}

bool ReadWindow::ready(std::uint64_t keep) {
  if (eof_) return true;
  if (!reading_) {
    makeRoom(keep);
    // One read size at a time, however much room there is: a search pauses
    // between reads (line_reader.h), and so never reads more than one
    // without returning to its caller.
    asked_ = std::min(capacity_ - size_, readSize_);
    got_ = file_->read(buf_.get() + size_, asked_);
    reading_ = true;
  } else if (got_ == File::kPending) {
    got_ = file_->read(buf_.get() + size_, asked_);
  }
  return got_ != File::kPending;
}

bool ReadWindow::fill(std::uint64_t keep) {
  if (eof_) return false;
  while (!ready(keep)) file_->awaitRead();
  reading_ = false;
  if (got_ == 0) {
    eof_ = true;
    return false;
  }
  size_ += got_;
  bytesRead_ += got_;
  return true;
}

void ReadWindow::makeRoom(std::uint64_t keep) {
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
}

void ReadWindow::rewind(std::uint64_t offset) {
  if (reading_) {  // taken and dropped: the bytes it reads are not the ones wanted
    while (!ready(base_)) file_->awaitRead();
    reading_ = false;
  }
  file_->seek(offset);
  base_ = offset;
  size_ = 0;
  eof_ = false;
}

}  // namespace rt
