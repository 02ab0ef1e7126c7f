#pragma once
// The tests' own build of the programs only: MACTOOLS_WIN32_LEVEL=7 or 8.1
// makes them look up functions as on that Windows, so that a test takes
// each fallback on any system. The shipped programs never read it.
#include <windows.h>

#include <cwchar>

#include "win32_library.h"

namespace app {

inline rt::win32::Level testLevelFromEnvironment() {
  wchar_t value[16] = L"";
  const DWORD size = GetEnvironmentVariableW(L"MACTOOLS_WIN32_LEVEL", value, 16);
  if (size == 0 || size >= 16) return rt::win32::Level::Windows10;
  if (std::wcscmp(value, L"7") == 0) return rt::win32::Level::Windows7;
  if (std::wcscmp(value, L"8.1") == 0) return rt::win32::Level::Windows81;
  return rt::win32::Level::Windows10;
}

}  // namespace app
