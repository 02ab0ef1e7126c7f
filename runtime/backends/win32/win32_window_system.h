#pragma once
// The window system on Windows: Form1's window, laid out at its DPI, and
// the event loop that runs its messages.
#include <windows.h>

#include <memory>

#include "runtime/services.h"
#include "win32_dpi.h"
#include "win32_library.h"
#include "win32_taskbar.h"

namespace rt::win32 {

class Win32Window;

class Win32WindowSystem : public WindowSystem {
 public:
  // iconId names the window icon; level the newest Windows whose DPI
  // functions are looked up (win32_library.h); taskbarList makes the
  // taskbar's list (the shell's when none is given).
  Win32WindowSystem(HINSTANCE instance, int iconId, Level level, TaskbarProgress::ListMaker taskbarList = {});
  ~Win32WindowSystem() override;

  Window& createWindow(const FormLayout& layout) override;
  void runEventLoop() override;
  // Also wakes the event loop: a WM_CLOSE that another program sends runs
  // inside GetMessageW, which returns only for a posted message. Not
  // WM_QUIT, which would stay queued and close the error report that
  // follows a Close during a lookup.
  void endProgram() override;
  void doEvents() override;
  // On the signal's event and the whole input queue: a message sent or
  // posted, input, a paint or a timer wakes it.
  void waitFor(Signal& signal, unsigned ms) override;
  bool endAsked() const override { return ended_; }
  void showProgress(std::uint64_t done, std::uint64_t total) override { taskbar_.show(owner(), done, total); }
  [[noreturn]] void endProcessNow(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
  // An error report is up: the end of the session ends with its number.
  void reporting(int exitCode);

  // The window, as owner of the clipboard and of the error report; null
  // before it exists.
  HWND owner() const;

 private:
  void dispatch(MSG& msg);

  Dpi dpi_;
  TaskbarProgress taskbar_;
  HINSTANCE instance_;
  int iconId_;
  std::unique_ptr<Win32Window> window_;
  bool ended_ = false;
};

}  // namespace rt::win32
