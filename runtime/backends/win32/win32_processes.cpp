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

}  // namespace

void Win32Processes::start(std::u16string_view path, WindowStyle style) {
  // Quoted, so that a folder with blanks in its name is one argument.
  std::wstring commandLine = L"\"" + std::wstring(wide(path)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindowFor(style));
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    throw lastError(u"CreateProcessW", err::InvalidProcedureCall, path);
  const UniqueHandle process(info.hProcess), thread(info.hThread);
}

}  // namespace rt::win32
