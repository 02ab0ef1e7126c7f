#include <windows.h>

#include "runtime/error.h"
#include "win32_handles.h"
#include "win32_services.h"
#include "win32_window.h"

namespace rt {
namespace {

int fileErrorNumber(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return err::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return err::PathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return err::BadFileNameOrNumber;
    default: return err::PathFileAccessError;
  }
}

class Win32File : public File {
 public:
  explicit Win32File(win32::UniqueHandle handle) : handle_(std::move(handle)) {}

  std::size_t read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    if (!ReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &got, nullptr)) throw Error(err::DeviceIoError);
    return got;
  }

  void seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN)) throw Error(err::DeviceIoError);
  }

  void write(std::string_view bytes) override {
    // One WriteFile call: with append access the system places it at the
    // end of the file as one piece.
    DWORD written = 0;
    if (!WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      throw Error(err::DeviceIoError);
  }

 private:
  win32::UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<File> Win32FileSystem::openFile(std::u16string_view path, OpenMode mode) {
  const std::u16string name(path);
  if (name.empty()) throw Error(err::BadFileNameOrNumber);
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  if (mode == OpenMode::Output) {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = CREATE_ALWAYS;
  } else if (mode == OpenMode::Append) {
    access = FILE_APPEND_DATA | SYNCHRONIZE;
    disposition = OPEN_ALWAYS;
  }
  win32::UniqueHandle handle(
      CreateFileW(wide(name), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw errorWithDetail(fileErrorNumber(GetLastError()), path);
  return std::make_unique<Win32File>(std::move(handle));
}

void Win32FileSystem::removeFile(std::u16string_view path) {
  const std::u16string name(path);
  if (DeleteFileW(wide(name))) return;
  const DWORD code = GetLastError();
  if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) throw errorWithDetail(err::PathFileAccessError, path);
}

std::string Win32FileSystem::encode(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* source = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, source, size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, source, size, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::u16string Win32FileSystem::decode(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), needed);
  return fromWide(text.data(), text.size());
}

}  // namespace rt
