#include "win32_invocation.h"

#include <windows.h>

#include "win32_error.h"
#include "win32_text.h"

namespace rt::win32 {

std::u16string argumentsOf(std::u16string_view line) {
  std::size_t i = 0;
  if (!line.empty() && line[0] == u'"') {
    const auto close = line.find(u'"', 1);
    i = close == std::u16string_view::npos ? line.size() : close + 1;
  }
  while (i < line.size() && line[i] != u' ' && line[i] != u'\t') ++i;
  while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
  return std::u16string(line.substr(i));
}

std::u16string Win32Invocation::commandLine() { return argumentsOf(fromWide(GetCommandLineW())); }

std::u16string Win32Invocation::environment(std::u16string_view name) {
  const std::u16string key(name);
  std::wstring value;
  // The value may grow between asking its size and reading it.
  for (DWORD size = 256;;) {
    value.resize(size);
    SetLastError(ERROR_SUCCESS);
    const DWORD got = GetEnvironmentVariableW(wide(key), value.data(), size);
    if (got == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND || GetLastError() == ERROR_SUCCESS) return {};
      throw lastError(u"GetEnvironmentVariableW", err::InvalidProcedureCall);
    }
    if (got < size) return fromWide(value.data(), got);
    size = got;
  }
}

std::uint32_t Win32Invocation::processId() { return GetCurrentProcessId(); }

}  // namespace rt::win32
