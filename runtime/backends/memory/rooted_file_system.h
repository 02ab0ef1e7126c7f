#pragma once
// Real files for the in-memory backend: Windows paths are laid under a root
// folder ("c:\temp\x.txt" is root/c/temp/x.txt; a path without a drive is on
// drive c), and the system code page is Windows-1252.
#include <filesystem>

#include "runtime/file_system.h"

namespace rt {

class RootedFileSystem : public FileSystem {
 public:
  explicit RootedFileSystem(std::filesystem::path root);

  std::string encode(std::u16string_view text) override;
  std::u16string decode(std::string_view bytes) override;
  std::uint64_t sizeOf(std::u16string_view path) noexcept override;

  // Where a Windows path lies on the host; error 52 when it has none.
  std::filesystem::path hostPath(std::u16string_view path) const;
  const std::filesystem::path& root() const { return root_; }

 protected:
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode) override;
  void removeFile(std::u16string_view path) override;

 private:
  std::filesystem::path hostPathOf(std::u16string_view path) const;
  std::filesystem::path root_;
};

}  // namespace rt
