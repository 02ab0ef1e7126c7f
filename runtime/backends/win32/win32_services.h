#pragma once
// The Windows backend of the platform services.
#include <windows.h>

#include <memory>
#include <string>

#include "runtime/services.h"
#include "win32_dpi.h"
#include "win32_handles.h"

namespace rt::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::string encode(std::u16string_view text) override;
  std::u16string decode(std::string_view bytes) override;

 protected:
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode) override;
  void removeFile(std::u16string_view path) override;
};

class Win32Window;

class Win32Services : public Services {
 public:
  // programName captions the error report; iconId names the window icon.
  Win32Services(HINSTANCE instance, std::u16string programName, int iconId);
  ~Win32Services() override;

  Window& createWindow(const FormLayout& layout) override;
  void runEventLoop() override;
  void endProgram() override { ended_ = true; }
  std::u16string commandLine() override;
  std::u16string environment(std::u16string_view name) override;
  void clipboardSetText(std::u16string_view text, ClipboardEntry entry) override;
  void startProcess(std::u16string_view path, WindowStyle style) override;
  DateTime now() override;
  std::u16string formatDate(const DateTime& when) override;
  std::u16string formatTime(const DateTime& when) override;
  void reportError(const Error& error) override;

 private:
  HWND owner() const;
  // The clipboard turn among this program's copies, or none when it could
  // not be had within a few seconds.
  HeldTurn takeClipboardTurn();

  Win32FileSystem fs_;
  Dpi dpi_;
  HINSTANCE instance_;
  std::u16string programName_;
  int iconId_;
  std::unique_ptr<Win32Window> window_;
  UniqueHandle clipboardTurn_;  // a named mutex, opened at the first clipboard set
  UINT passOverFormats_[3] = {};  // the clipboard formats that keep texts out of history
  bool ended_ = false;
};

// Text of the command line after the program's name.
std::u16string argumentsOf(std::u16string_view commandLine);

}  // namespace rt::win32
