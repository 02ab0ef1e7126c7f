#pragma once
// Real files whose every read waits, as a pipe's or a stalled share's may:
// a read is pending until its gate is let through (by the test, or by
// awaitRead, which stands for the time passing). With pipe, the files
// cannot seek back, as a pipe cannot. A read taken into another buffer
// than it was started with is error 51: the system would have written to
// the first.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/file_system.h"
#include "wrapped_file.h"

namespace testing_support {

class WaitingReads : public WrappedFileSystem {
 public:
  struct Gate : rt::Signal {
    bool open = false;
  };

  WaitingReads(rt::FileSystem& real, bool pipe) : WrappedFileSystem(real), pipe_(pipe) {}
  std::uint64_t sizeOf(std::u16string_view path) noexcept override { return pipe_ ? 0 : real_.sizeOf(path); }

  // Completes the read whose signal this is.
  static void letThrough(rt::Signal* signal) { static_cast<Gate*>(signal)->open = true; }
  std::size_t waits = 0;      // reads that returned pending
  std::size_t cancelled = 0;  // reads cancelled while pending
  // A cancel that never completes, as a network redirector's may: it says
  // so, and the read lands later all the same (landLate), in the buffer it
  // was given.
  bool cancelsNever = false;
  void landLate() {
    for (auto [at, size] : late_) std::memset(at, 'x', size);
    late_.clear();
  }

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    struct Waiting : WrappedFile {
      Waiting(std::unique_ptr<rt::File> file, WaitingReads& files) : WrappedFile(std::move(file)), files(files) {}
      std::size_t read(char* buffer, std::size_t size) override {
        if (!started) {
          started = true;
          gate.open = false;
          at = buffer;
          asked = size;
          ++files.waits;
          return kPending;
        }
        if (buffer != at || size != asked) throw rt::Error(rt::err::InternalError);
        if (!gate.open) return kPending;
        started = false;
        const std::size_t got = file->read(buffer, size);
        position += got;
        return got;
      }
      rt::Signal* readSignal() noexcept override { return started && !gate.open ? &gate : nullptr; }
      void awaitRead() override { gate.open = true; }
      bool cancelRead() noexcept override {
        if (!started || gate.open) return true;
        ++files.cancelled;
        started = false;
        if (!files.cancelsNever) return true;
        files.late_.emplace_back(at, asked);
        return false;
      }
      bool canSeek() const noexcept override { return !files.pipe_; }
      void seek(std::uint64_t offset) override {
        if (files.pipe_ && offset != position) throw rt::Error(rt::err::DeviceIoError);
        file->seek(offset);
        position = offset;
      }

      WaitingReads& files;
      Gate gate;
      bool started = false;
      char* at = nullptr;
      std::size_t asked = 0;
      std::uint64_t position = 0;
    };
    std::unique_ptr<rt::File> file = real_.open(path, mode);
    if (mode != rt::OpenMode::Input) return file;
    return std::make_unique<Waiting>(std::move(file), *this);
  }

 private:
  bool pipe_;
  std::vector<std::pair<char*, std::size_t>> late_;  // reads given up, still to land
};

}  // namespace testing_support
