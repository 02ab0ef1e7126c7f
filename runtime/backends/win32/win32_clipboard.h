#pragma once
// The clipboard on Windows, taken in turns by copies of these programs.
#include <windows.h>

#include "runtime/services.h"
#include "win32_handles.h"

namespace rt::win32 {

class Win32WindowSystem;

class Win32Clipboard : public Clipboard {
 public:
  // The clipboard is opened for the window that windows shows, once it has one.
  explicit Win32Clipboard(const Win32WindowSystem& windows) : windows_(windows) {}

  void setText(std::u16string_view text, Entry entry) override;

 private:
  // The clipboard turn among this program's copies, or none when it could
  // not be had within a few seconds.
  HeldTurn takeTurn();

  const Win32WindowSystem& windows_;
  UniqueHandle turn_;             // a named mutex, opened at the first set
  // The formats beside a passing text, registered at the first passing
  // set: the programs' own first, then the pass-over ones.
  UINT passingFormats_[4] = {};
};

}  // namespace rt::win32
