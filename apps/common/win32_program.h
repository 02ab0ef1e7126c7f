#pragma once
// A program's start on Windows: the DLL search restricted first, then the
// platform services built part by part and handed to Form1. Included once,
// by each program's main.
#include <windows.h>

#include "converter/form1.h"
#include "resource.h"
#include "runtime/file_table.h"
#include "runtime/program.h"
#include "win32_clipboard.h"
#include "win32_clock.h"
#include "win32_error_report.h"
#include "win32_file_system.h"
#include "win32_invocation.h"
#include "win32_library.h"
#include "win32_processes.h"
#include "win32_window_system.h"

#ifdef MACTOOLS_TEST_LEVELS
#include "test_level.h"
#endif

namespace app {

// The newest Windows whose functions the program looks up. The shipped
// programs look up all they know and take what this Windows offers; only
// the tests' own build of them takes the level from its environment.
inline rt::win32::Level windowsLevel() {
#ifdef MACTOOLS_TEST_LEVELS
  return testLevelFromEnvironment();
#else
  return rt::win32::Level::Windows10;
#endif
}

[[noreturn]] inline void runForm1(HINSTANCE instance, const char16_t* name, conv::Form1::StartBranch branch = {}) {
  const rt::win32::Level level = windowsLevel();
  rt::win32::restrictDllSearch(level);  // before anything can load a DLL by name
  rt::win32::Win32FileSystem fileSystem;
  rt::FileTable files(fileSystem);
  rt::win32::Win32WindowSystem windows(instance, IDI_PROGRAM, level);
  rt::win32::Win32Clipboard clipboard(windows);
  rt::win32::Win32Processes processes;
  rt::win32::Win32Invocation invocation;
  rt::win32::Win32Clock clock;
  rt::win32::Win32ErrorReport errors(windows, name);
  const rt::Services services{windows, clipboard, processes, invocation, clock, errors, files};
  const int code = rt::runProgram(services, [&] {
    conv::Form1 form(services, std::move(branch));
    form.Form_Load();
  });
  // The program ends the process at once, its files written and closed, and
  // the system takes the window with it. Destroying the window first would
  // hide it, and Wine then waits up to 2 s for a window manager to confirm
  // that (there is none on a bare X server), which a stopped lookup must
  // not take.
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace app
