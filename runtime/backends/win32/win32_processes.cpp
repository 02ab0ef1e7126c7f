#include "win32_processes.h"

#include <windows.h>

#include <string>

#include "win32_error.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace rt::win32 {
namespace {

int showWindowFor(WindowStyle style) {
  switch (style) {
    case WindowStyle::Minimized: return SW_SHOWMINNOACTIVE;
    case WindowStyle::Hide: return SW_HIDE;
    default: return SW_SHOWNORMAL;
  }
}

// The system's cmd.exe, by its full path: never one found in the current
// folder or on PATH.
std::wstring systemCmd() {
  wchar_t folder[MAX_PATH];
  const UINT size = GetSystemDirectoryW(folder, MAX_PATH);
  if (size == 0 || size >= MAX_PATH) throw lastError(u"GetSystemDirectoryW", err::FileNotFound);
  return std::wstring(folder, size) + L"\\cmd.exe";
}

}  // namespace

void Win32Processes::start(std::u16string_view file, std::u16string_view folder, WindowStyle style) {
  const std::wstring cmd = systemCmd();
  // /d: no AutoRun commands from the registry first, which could change
  // the folder. A name with a backslash (.\wmac.cmd) is looked up in the
  // current folder alone, whatever NoDefaultCurrentDirectoryInExePath says.
  // A full path (it holds no character that cmd reads) is quoted twice:
  // cmd takes the outer pair off and keeps the path whole, blanks and all.
  std::wstring commandLine = L"\"" + cmd + L"\" /d /c ";
  commandLine += folder.empty() ? L"\"\"" + std::wstring(wide(file)) + L"\"\"" : std::wstring(wide(file));
  const std::wstring current(wide(folder));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindowFor(style));
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      current.empty() ? nullptr : current.c_str(), &startup, &info))
    throw lastError(u"CreateProcessW", err::InvalidProcedureCall, file);
  const UniqueHandle process(info.hProcess), thread(info.hThread);
}

}  // namespace rt::win32
