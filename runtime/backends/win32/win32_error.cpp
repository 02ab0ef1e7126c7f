#include "win32_error.h"

namespace rt::win32 {
namespace {

int runtimeNumber(DWORD code, int otherwise) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return err::FileNotFound;
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

Error systemError(DWORD code, int otherwise, std::u16string_view detail) {
  const int number = runtimeNumber(code, otherwise);
  return detail.empty() ? Error(number) : errorWithDetail(number, detail);
}

Error lastError(int otherwise, std::u16string_view detail) { return systemError(GetLastError(), otherwise, detail); }

}  // namespace rt::win32
