#pragma once
// Files on Windows, and text in the system's 8-bit code page.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "runtime/file_system.h"

namespace rt::win32 {

// The Windows handle behind a file this file system opened; for tests that
// ask Windows what the handle may do.
HANDLE nativeHandle(File& file);

class Win32FileSystem : public FileSystem {
 public:
  std::string encode(std::u16string_view text) override;
  std::u16string decode(std::string_view bytes) override;
  std::uint64_t sizeOf(std::u16string_view path) noexcept override;
  std::vector<std::u16string> namesIn(std::u16string_view folder, std::u16string_view prefix,
                                      std::u16string_view suffix) override;

 protected:
  // A file another program holds alone for a moment is waited for, up to
  // about a second, before error 75: by an open, a rename and a delete.
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode) override;
  void removeFile(std::u16string_view path, bool waitForHolder) override;
  void renameFile(std::u16string_view from, std::u16string_view to) override;

 private:
  // Whether reads of the file at path may wait on something outside this
  // machine's fixed disks: a UNC name (a share, a pipe, a device), a network
  // or removable drive. Only X:\... and relative paths on a fixed (or RAM)
  // drive read at once. A link on a fixed disk to a share is the exception
  // this cannot see. Each drive is asked once: under Wine the question
  // costs about half a millisecond.
  bool readsMayWait(const std::u16string& path);

  // By drive, a to z, then the current folder's; 0 (DRIVE_UNKNOWN) until asked.
  std::array<UINT, 27> driveTypes_{};
};

}  // namespace rt::win32
