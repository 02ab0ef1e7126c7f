#pragma once
// DPI on every Windows from 7 SP1 on. Functions of later versions are looked
// up at run time, each with a fallback that Windows 7 has:
//   Windows 10 1607+: the window's own DPI and metrics for it;
//   Windows 8.1:      per-monitor awareness and the monitor's DPI (shcore);
//   Windows 7:        the system DPI, its metrics scaled to the DPI asked.
#include <windows.h>

#include "win32_handles.h"
#include "win32_library.h"

namespace rt::win32 {

class Dpi {
 public:
  // Looks up the functions of Windows up to level and makes the process
  // DPI-aware at run time, as the manifest asks (a no-op where the manifest
  // already did it).
  explicit Dpi(Level level);

  UINT forWindow(HWND window) const;
  // The message font at dpi; null when the system cannot make it.
  HFONT messageFont(UINT dpi) const;
  // The window rectangle for a client area of the given size at dpi.
  RECT frameFor(int clientWidth, int clientHeight, DWORD style, UINT dpi) const;

 private:
  using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

  void makeProcessAware() const;

  UniqueModule shcore_;
  SetAwarenessContext setAwarenessContext_ = nullptr;       // Windows 10 1703
  GetDpiForWindowFn getDpiForWindow_ = nullptr;             // Windows 10 1607
  SystemParametersInfoForDpiFn parametersForDpi_ = nullptr; // Windows 10 1607
  AdjustWindowRectExForDpiFn adjustForDpi_ = nullptr;       // Windows 10 1607
  SetProcessDpiAwarenessFn setProcessAwareness_ = nullptr;  // Windows 8.1, shcore
  GetDpiForMonitorFn getDpiForMonitor_ = nullptr;           // Windows 8.1, shcore
};

// The DPI of the primary screen as the system reports it (96 when it cannot).
UINT systemDpi();

}  // namespace rt::win32
