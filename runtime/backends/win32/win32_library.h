#pragma once
// Where this process finds its DLLs and the functions of later Windows:
// DLLs come from the system folder only, and functions newer than
// Windows 7 are looked up at run time, each caller with a fallback.
#include <windows.h>

namespace rt::win32 {

// The newest Windows whose functions the look-ups may find. The programs
// look up all they know (Windows10) and take what this Windows offers;
// tests hand in an older level to take the fallbacks on any Windows.
enum class Level { Windows7, Windows81, Windows10 };

// The function of that name in module, or null; Fn names its real type.
template <typename Fn>
Fn lookUp(HMODULE module, const char* name) {
  // GetProcAddress returns a generic function pointer.
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Loads name from the system folder only, never from beside the program or
// the current folder; null when it is not there.
HMODULE loadSystemLibrary(const wchar_t* name);

// Takes the program's and the current folder out of the DLL search, so that
// a DLL planted beside the program (a Downloads folder) is never loaded in
// place of a system one. Called first thing, before any window exists:
//   Windows 8 and later, and 7 with update KB2533623: the system folder
//     only (SetDefaultDllDirectories);
//   7 without it: the DLLs that system DLLs load by name are loaded from
//     the system folder first, so that later loads find them loaded.
void restrictDllSearch(Level level);

}  // namespace rt::win32
