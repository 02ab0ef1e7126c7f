#include "win32_dpi.h"

#include "runtime/scope_exit.h"

namespace rt::win32 {
namespace {

constexpr int kPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;     // MDT_EFFECTIVE_DPI
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

}  // namespace

UINT systemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  const auto release = scopeExit([screen] { ReleaseDC(nullptr, screen); });
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

Dpi::Dpi(Level level) {
  if (level >= Level::Windows10) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    setAwarenessContext_ = lookUp<SetAwarenessContext>(user32, "SetProcessDpiAwarenessContext");
    getDpiForWindow_ = lookUp<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    parametersForDpi_ = lookUp<SystemParametersInfoForDpiFn>(user32, "SystemParametersInfoForDpi");
    adjustForDpi_ = lookUp<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
  }
  if (level >= Level::Windows81 && !getDpiForWindow_) {
    shcore_.reset(loadSystemLibrary(L"shcore.dll"));
    setProcessAwareness_ = lookUp<SetProcessDpiAwarenessFn>(shcore_.get(), "SetProcessDpiAwareness");
    getDpiForMonitor_ = lookUp<GetDpiForMonitorFn>(shcore_.get(), "GetDpiForMonitor");
  }
  makeProcessAware();
}

void Dpi::makeProcessAware() const {
  // Each call fails harmlessly when the manifest has set the awareness.
  if (setAwarenessContext_ && setAwarenessContext_(kPerMonitorAwareV2)) return;
  if (setProcessAwareness_ && SUCCEEDED(setProcessAwareness_(kPerMonitorAware))) return;
  SetProcessDPIAware();
}

UINT Dpi::forWindow(HWND window) const {
  if (getDpiForWindow_)
    if (const UINT dpi = getDpiForWindow_(window)) return dpi;
  if (getDpiForMonitor_) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(getDpiForMonitor_(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) && y)
      return y;
  }
  return systemDpi();
}

HFONT Dpi::messageFont(UINT dpi) const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parametersForDpi_ && parametersForDpi_(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
    return CreateFontIndirectW(&metrics.lfMessageFont);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  // These metrics are at the system DPI.
  metrics.lfMessageFont.lfHeight =
      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

RECT Dpi::frameFor(int clientWidth, int clientHeight, DWORD style, UINT dpi) const {
  RECT frame{0, 0, clientWidth, clientHeight};
  if (adjustForDpi_ && adjustForDpi_(&frame, style, FALSE, 0, dpi)) return frame;
  // At the system DPI; the window corrects what differs once it is sized,
  // and a failure here only leaves more for it to correct.
  frame = RECT{0, 0, clientWidth, clientHeight};
  if (!AdjustWindowRectEx(&frame, style, FALSE, 0)) frame = RECT{0, 0, clientWidth, clientHeight};
  return frame;
}

}  // namespace rt::win32
