#include "win32_window_system.h"

#include <commctrl.h>

#include "win32_error.h"
#include "win32_wait.h"
#include "win32_window.h"

namespace rt::win32 {

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance, int iconId, Level level,
                                     TaskbarProgress::ListMaker taskbarList)
    : dpi_(level), taskbar_(std::move(taskbarList)), instance_(instance), iconId_(iconId) {
  // Visual styles for the fields and the button (common controls 6). When
  // this fails the system's own edit and button classes serve, unstyled.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

Win32WindowSystem::~Win32WindowSystem() = default;

HWND Win32WindowSystem::owner() const { return window_ ? window_->handle() : nullptr; }

Window& Win32WindowSystem::createWindow(const FormLayout& layout) {
  window_ = std::make_unique<Win32Window>(instance_, layout, iconId_, dpi_);
  window_->onTaskbarButtonCreated([this] { taskbar_.buttonCreated(owner()); });
  return *window_;
}

void Win32WindowSystem::reporting(int exitCode) {
  if (window_) window_->endSessionWith(exitCode);
}

void Win32WindowSystem::runEventLoop() {
  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return;  // WM_QUIT
    if (got == -1) throw lastError(u"GetMessageW", err::InvalidProcedureCall);
    dispatch(msg);
  }
}

void Win32WindowSystem::endProgram() {
  ended_ = true;
  if (window_) PostMessageW(owner(), WM_NULL, 0, 0);
}

void Win32WindowSystem::doEvents() {
  MSG msg;
  while (!ended_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ended_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that waits further out, if any
      return;
    }
    dispatch(msg);
  }
}

void Win32WindowSystem::waitFor(Signal& signal, unsigned ms) {
  const auto* event = dynamic_cast<EventSignal*>(&signal);
  if (!event) throw Error(err::InternalError);  // not one of this backend's
  // MWMO_INPUTAVAILABLE: input already queued, not only input that came
  // since the last look, wakes it.
  if (MsgWaitForMultipleObjectsEx(1, &event->event, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_FAILED)
    throw lastError(u"MsgWaitForMultipleObjectsEx", err::InternalError);
}

void Win32WindowSystem::dispatch(MSG& msg) {
  if (window_)
    window_->dispatch(msg);
  else
    DispatchMessageW(&msg);
}

}  // namespace rt::win32
