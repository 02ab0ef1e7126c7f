#include "win32_error.h"

#include <iterator>
#include <string>

#include "runtime/text.h"
#include "win32_text.h"

namespace rt::win32 {
namespace {

int runtimeNumber(DWORD code, int otherwise) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return err::FileNotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return err::FileAlreadyExists;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return err::PathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return err::BadFileNameOrNumber;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return err::PathFileAccessError;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return err::DiskFull;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_COMMITMENT_LIMIT: return err::OutOfMemory;
    default: return otherwise;
  }
}

}  // namespace

Error systemError(std::u16string_view call, DWORD code, int otherwise, std::u16string_view detail) {
  const int number = runtimeNumber(code, otherwise);
  return detail.empty() ? Error(number, standardDescription(number), code, std::u16string(call))
                        : errorWithDetail(number, detail, code, call);
}

Error lastError(std::u16string_view call, int otherwise, std::u16string_view detail) {
  return systemError(call, GetLastError(), otherwise, detail);
}

Error lastErrorAs(std::u16string_view call, int number) {
  return Error(number, standardDescription(number), GetLastError(), std::u16string(call));
}

std::u16string systemMessage(DWORD code, std::u16string_view call) {
  std::u16string message = u"Windows error " + widen(std::to_string(code));
  if (!call.empty()) message += u" in " + std::u16string(call);
  wchar_t text[512];
  DWORD size = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                              static_cast<DWORD>(std::size(text)), nullptr);
  // The system's text ends with a line end, which the report sets itself.
  while (size > 0 && (text[size - 1] == L'\r' || text[size - 1] == L'\n' || text[size - 1] == L' ')) --size;
  if (size > 0) message += u": " + fromWide(text, size);
  return message;
}

}  // namespace rt::win32
