// The yardstick for start-up latency: a Win32 program that shows a window
// and ends as the programs do, with ExitProcess and the window left to the
// system (destroying it first makes Wine wait up to 2 s for a window
// manager on a bare X server).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"Minimal";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(L"Minimal", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 160,
                            nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  ExitProcess(0);
}
