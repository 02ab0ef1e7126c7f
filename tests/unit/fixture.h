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
#include "runtime/text.h"

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

// Opens files for real but fails every write into them.
class FailingWrites : public rt::FileSystem {
 public:
  explicit FailingWrites(rt::FileSystem& real) : real_(real) {}
  std::string encode(std::u16string_view text) override { return real_.encode(text); }
  std::u16string decode(std::string_view bytes) override { return real_.decode(bytes); }

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    struct Broken : rt::File {
      std::size_t read(char*, std::size_t) override { return 0; }
      void seek(std::uint64_t) override {}
      void write(std::string_view) override { throw rt::Error(rt::err::DeviceIoError); }
    };
    real_.open(path, mode);
    return std::make_unique<Broken>();
  }
  void removeFile(std::u16string_view path) override { real_.remove(path); }

 private:
  rt::FileSystem& real_;
};

// Real files, but text holding "FAIL" cannot be encoded (error 5), as when
// the system's conversion fails.
class FailingEncode : public rt::FileSystem {
 public:
  explicit FailingEncode(rt::FileSystem& real) : real_(real) {}
  std::string encode(std::u16string_view text) override {
    if (text.find(u"FAIL") != std::u16string_view::npos) throw rt::Error(rt::err::InvalidProcedureCall);
    return real_.encode(text);
  }
  std::u16string decode(std::string_view bytes) override { return real_.decode(bytes); }

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    return real_.open(path, mode);
  }
  void removeFile(std::u16string_view path) override { real_.remove(path); }

 private:
  rt::FileSystem& real_;
};

// Real files that remember the size of every write into them.
class CountedWrites : public rt::FileSystem {
 public:
  explicit CountedWrites(rt::FileSystem& real) : real_(real) {}
  std::string encode(std::u16string_view text) override { return real_.encode(text); }
  std::u16string decode(std::string_view bytes) override { return real_.decode(bytes); }
  std::vector<std::size_t> writes;

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    struct Counted : rt::File {
      Counted(std::unique_ptr<rt::File> file, std::vector<std::size_t>& writes) : file(std::move(file)), writes(writes) {}
      std::size_t read(char* buffer, std::size_t size) override { return file->read(buffer, size); }
      void seek(std::uint64_t offset) override { file->seek(offset); }
      void write(std::string_view bytes) override {
        writes.push_back(bytes.size());
        file->write(bytes);
      }
      std::unique_ptr<rt::File> file;
      std::vector<std::size_t>& writes;
    };
    return std::make_unique<Counted>(real_.open(path, mode), writes);
  }
  void removeFile(std::u16string_view path) override { real_.remove(path); }

 private:
  rt::FileSystem& real_;
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
