#include "win32_error_report.h"

#include <windows.h>

#include "runtime/text.h"
#include "win32_error.h"
#include "win32_text.h"
#include "win32_window_system.h"

namespace rt::win32 {

std::u16string reportText(const Error& error) {
  std::u16string text = u"Run-time error '" + widen(std::to_string(error.number())) + u"':\r\n\r\n" + error.description();
  if (error.systemCode() != 0) text += u"\r\n" + systemMessage(error.systemCode(), error.systemCall());
  return text;
}

void Win32ErrorReport::report(const Error& error) {
  const std::u16string text = reportText(error);
  windows_.reporting(error.number());
  if (!MessageBoxW(windows_.owner(), wide(text), wide(programName_), MB_OK | MB_ICONERROR | MB_SETFOREGROUND)) {
    // No box (out of memory, no desktop): a debugger still sees the report,
    // and the exit code carries the number.
    OutputDebugStringW(wide(text + u"\r\n"));
  }
}

}  // namespace rt::win32
