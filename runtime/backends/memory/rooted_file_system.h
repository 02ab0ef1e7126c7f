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

  std::unique_ptr<File> open(std::u16string_view path, OpenMode mode) override;
  void remove(std::u16string_view path) override;
  std::string encode(std::u16string_view text) override;
  std::u16string decode(std::string_view bytes) override;

  // Where a Windows path lies on the host.
  std::filesystem::path hostPath(std::u16string_view path) const;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

}  // namespace rt
