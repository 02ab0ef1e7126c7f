#pragma once
// A file, and a file system, that hand every call to the one they wrap:
// the tests' file systems override only what they change.
#include <memory>
#include <string>
#include <vector>

#include "runtime/file_system.h"

namespace testing_support {

struct WrappedFile : rt::File {
  explicit WrappedFile(std::unique_ptr<rt::File> wrapped) : file(std::move(wrapped)) {}
  std::size_t read(char* buffer, std::size_t size) override { return file->read(buffer, size); }
  void seek(std::uint64_t offset) override { file->seek(offset); }
  void write(std::string_view bytes) override { file->write(bytes); }
  std::uint64_t size() override { return file->size(); }
  void truncate(std::uint64_t size) override { file->truncate(size); }
  void drop() noexcept override { file->drop(); }

  std::unique_ptr<rt::File> file;
};

class WrappedFileSystem : public rt::FileSystem {
 public:
  explicit WrappedFileSystem(rt::FileSystem& wrapped) : real_(wrapped) {}
  std::string encode(std::u16string_view text) override { return real_.encode(text); }
  std::u16string decode(std::string_view bytes) override { return real_.decode(bytes); }
  std::uint64_t sizeOf(std::u16string_view path) noexcept override { return real_.sizeOf(path); }
  std::vector<std::u16string> namesIn(std::u16string_view folder, std::u16string_view prefix,
                                      std::u16string_view suffix) override {
    return real_.namesIn(folder, prefix, suffix);
  }

 protected:
  std::unique_ptr<rt::File> openFile(std::u16string_view path, rt::OpenMode mode) override {
    return real_.open(path, mode);
  }
  void removeFile(std::u16string_view path, bool waitForHolder) override { real_.remove(path, waitForHolder); }
  void renameFile(std::u16string_view from, std::u16string_view to) override { real_.rename(from, to); }

  rt::FileSystem& real_;
};

}  // namespace testing_support
