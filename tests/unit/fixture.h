#pragma once
// A program's world for unit tests: the in-memory backend over real files
// in a fresh folder that is removed afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "memory_services.h"
#include "rooted_file_system.h"
#include "runtime/error.h"
#include "runtime/file_table.h"
#include "runtime/text.h"
#include "wrapped_file.h"

namespace testing_support {

inline std::filesystem::path freshFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  auto path = std::filesystem::temp_directory_path() /
              ("mactools-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path / "c" / "temp");
  return path;
}

// The error number action ends with, or 0 when it ends normally.
inline int errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const rt::Error& e) {
    return e.number();
  }
  return 0;
}

// Real files with faults planted, as SQLite's tests plant I/O errors: the
// k-th open or write (both counted, from 1) fails with error 61, Disk full;
// a write lets its first half land before it fails, as a full disk does.
// With everyWrite, every write fails so. With onDue, the k-th operation
// calls it first instead (the end of the session landing in its wait).
class Faults : public WrappedFileSystem {
 public:
  explicit Faults(rt::FileSystem& real, std::size_t failAt = 0, bool everyWrite = false)
      : WrappedFileSystem(real), failAt_(failAt), everyWrite_(everyWrite) {}
  Faults(rt::FileSystem& real, std::size_t dueAt, std::function<void()> onDue)
      : WrappedFileSystem(real), failAt_(dueAt), onDue_(std::move(onDue)) {}
  // Counts one operation; whether it is the k-th.
  bool due() {
    if (++calls != failAt_) return false;
    met = true;
    if (onDue_) onDue_();
    return !onDue_;
  }
  std::size_t calls = 0;  // operations so far
  bool met = false;       // whether the k-th came

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    if (due()) throw diskFull();
    struct Faulty : WrappedFile {
      Faulty(std::unique_ptr<rt::File> file, Faults& faults) : WrappedFile(std::move(file)), faults(faults) {}
      void write(std::string_view bytes) override {
        if (!faults.due() && !faults.everyWrite_) return file->write(bytes);
        if (bytes.size() > 1) file->write(bytes.substr(0, bytes.size() / 2));
        throw diskFull();
      }
      Faults& faults;
    };
    return std::make_unique<Faulty>(real_.open(path, mode), *this);
  }

 private:
  static rt::Error diskFull() { return rt::Error(rt::err::DiskFull, rt::standardDescription(rt::err::DiskFull), 112); }
  std::size_t failAt_;
  bool everyWrite_ = false;
  std::function<void()> onDue_;
};

// Real files on a clock that goes forward only with the work done: a fixed
// cost in milliseconds for each piece read and each record appended (each
// write in append mode), so that "every 100 ms of work" means something.
class ClockedFiles : public WrappedFileSystem {
 public:
  ClockedFiles(rt::FileSystem& real, std::uint64_t perRead, std::uint64_t perRecord)
      : WrappedFileSystem(real), perRead_(perRead), perRecord_(perRecord) {}
  rt::MemoryClock* clock = nullptr;  // the clock that goes forward

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    struct Clocked : WrappedFile {
      Clocked(std::unique_ptr<rt::File> file, ClockedFiles& files, bool appending)
          : WrappedFile(std::move(file)), files(files), appending(appending) {}
      std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t got = file->read(buffer, size);
        if (got > 0) files.clock->milliseconds_ += files.perRead_;
        return got;
      }
      void write(std::string_view bytes) override {
        if (appending) files.clock->milliseconds_ += files.perRecord_;
        file->write(bytes);
      }
      ClockedFiles& files;
      bool appending;
    };
    return std::make_unique<Clocked>(real_.open(path, mode), *this, mode == rt::OpenMode::Append);
  }

 private:
  std::uint64_t perRead_, perRecord_;
};

// A search through every pause, as a lookup makes it: true with the next
// line that holds needle, false at the end. No step reads more than a
// read's worth (256 KiB), a step that finds a line neither.
inline bool searchOn(rt::FileTable& files, int number, std::u16string_view needle, std::u16string& line) {
  for (;;) {
    const std::uint64_t before = files.bytesRead(number);
    const rt::FileTable::Search step = files.lineInputContaining(number, needle, line);
    EXPECT_LE(files.bytesRead(number) - before, std::uint64_t{1} << 18);
    if (step == rt::FileTable::Search::Waiting) {
      ADD_FAILURE() << "a read waits, on a file that never waits";
      return false;
    }
    if (step != rt::FileTable::Search::Paused) return step == rt::FileTable::Search::Found;
  }
}

// Real files, but text holding "FAIL" cannot be encoded (error 5), as when
// the system's conversion fails.
class FailingEncode : public WrappedFileSystem {
 public:
  explicit FailingEncode(rt::FileSystem& real) : WrappedFileSystem(real) {}
  std::string encode(std::u16string_view text) override {
    if (text.find(u"FAIL") != std::u16string_view::npos) throw rt::Error(rt::err::InvalidProcedureCall);
    return real_.encode(text);
  }
};

// Real files that remember the size of every write into them.
class CountedWrites : public WrappedFileSystem {
 public:
  explicit CountedWrites(rt::FileSystem& real) : WrappedFileSystem(real) {}
  std::vector<std::size_t> writes;

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    struct Counted : WrappedFile {
      Counted(std::unique_ptr<rt::File> file, std::vector<std::size_t>& writes)
          : WrappedFile(std::move(file)), writes(writes) {}
      void write(std::string_view bytes) override {
        writes.push_back(bytes.size());
        file->write(bytes);
      }
      std::vector<std::size_t>& writes;
    };
    return std::make_unique<Counted>(real_.open(path, mode), writes);
  }
};

class World : public ::testing::Test {
 protected:
  World() : root_(freshFolder()), fs_(root_), services_(fs_) { services_.invocation.environment_[u"TEMP"] = u"c:\\temp"; }
  ~World() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // Bytes of a file, by its Windows path.
  std::string read(std::u16string_view path) const {
    std::ifstream in(fs_.hostPath(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  void write(std::u16string_view path, std::string_view bytes) const {
    std::filesystem::create_directories(fs_.hostPath(path).parent_path());
    std::ofstream out(fs_.hostPath(path), std::ios::binary);
    out << bytes;
  }
  bool exists(std::u16string_view path) const { return std::filesystem::exists(fs_.hostPath(path)); }

  std::filesystem::path root_;
  rt::RootedFileSystem fs_;
  rt::MemoryServices services_;
};

}  // namespace testing_support
