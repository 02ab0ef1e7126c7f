#include "win32_library.h"

#include <string>

namespace rt::win32 {
namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// Loaded by name by the system DLLs a window program uses, and so the ones
// planted beside programs. None of them is a known DLL that Windows 7
// always takes from the system folder.
constexpr const wchar_t* kLoadedByName[] = {
    L"uxtheme.dll", L"dwmapi.dll",  L"version.dll", L"cryptbase.dll", L"cryptsp.dll",
    L"oleacc.dll",  L"propsys.dll", L"profapi.dll", L"userenv.dll",   L"sspicli.dll",
    L"apphelp.dll", L"ntmarta.dll", L"msimg32.dll", L"winmm.dll",     L"dbghelp.dll"};

}  // namespace

HMODULE loadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT size = GetSystemDirectoryW(folder, MAX_PATH);
  if (size == 0 || size >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, size) + L"\\" + name;
  return LoadLibraryW(path.c_str());
}

void restrictDllSearch(Level level) {
  // The current folder out of the search order on every Windows (XP SP1 on).
  SetDllDirectoryW(L"");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Windows 7 as it ships lacks the function; its level acts so.
  const auto setDefault = level == Level::Windows7
                              ? nullptr
                              : lookUp<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"),
                                                                   "SetDefaultDllDirectories");
  if (setDefault && setDefault(kSearchSystem32)) return;
  // Loaded for the life of the process on purpose: a later load by name
  // then finds the system's copy already there. A DLL missing from this
  // Windows is no error; no one can load it by name from here either.
  for (const wchar_t* name : kLoadedByName) loadSystemLibrary(name);
}

}  // namespace rt::win32
