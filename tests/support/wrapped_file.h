#pragma once
// A file that hands every call to the file it wraps: the tests' file
// systems override only what they change.
#include <memory>

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

}  // namespace testing_support
