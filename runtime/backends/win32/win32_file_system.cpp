#include "win32_file_system.h"

#include <windows.h>

#include <climits>

#include "runtime/error.h"
#include "win32_error.h"
#include "win32_handles.h"
#include "win32_text.h"
#include "win32_turns.h"
#include "win32_wait.h"

namespace rt::win32 {
namespace {

// Copies of these programs appending to one file take turns (the byte of
// win32_turns.h, locked for the time of one append: its line end check, the
// write, and the cut of a write that failed part way). Windows writes each
// piece at the end, whole; Wine finds the end and then writes there, so
// that two copies appending at once could write over each other's record,
// and a cut must not take another copy's record with it.
// How long a write waits for its turn before it writes all the same.
constexpr DWORD kAppendTurnWaitMs = 2000, kAppendTurnPauseMs = 1;

// Another program may have a file open alone for a moment (a second
// lookup emptying datas.txt): wait up to about a second for it, as for the
// clipboard.
constexpr DWORD kSharingWaitMs = 1000, kSharingPauseMs = 50;

inline void endAppendTurn(HANDLE file) {
  OVERLAPPED at = appendTurnAt();
  UnlockFileEx(file, 0, 1, 0, &at);
}
using AppendTurn = Unique<HANDLE, &endAppendTurn>;  // the turn's byte, locked until the end

// The file's append turn, or none when it cannot be had: the lock is
// refused (a system that does not lock append-only handles places appends
// whole itself), or another writer keeps it past the wait. The lock is
// tried, not waited on, so that a program that locks the whole file cannot
// hold a write up for ever.
AppendTurn takeAppendTurn(HANDLE file) {
  bool refused = false;
  const bool locked = retryAnswering(kAppendTurnWaitMs, kAppendTurnPauseMs, [&] {
    OVERLAPPED at = appendTurnAt();
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
    refused = GetLastError() != ERROR_LOCK_VIOLATION;
    return refused;  // no turns on this file: stop trying
  });
  return locked && !refused ? AppendTurn(file) : AppendTurn();
}

class Win32File : public File {
 public:
  Win32File(UniqueFile handle, bool appending) : handle_(std::move(handle)), appending_(appending) {}

  std::size_t read(char* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    if (!ReadFile(handle_.get(), buffer, ask, &got, nullptr)) throw lastError(u"ReadFile", err::DeviceIoError);
    return got;
  }

  void seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN)) throw lastError(u"SetFilePointerEx", err::DeviceIoError);
  }

  void write(std::string_view bytes) override {
    if (bytes.size() > MAXDWORD) throw Error(err::OutOfMemory);
    // An append goes to the end as one piece: an offset of all ones asks
    // for the end, as an append-only handle would, on a handle that may
    // also cut and lock.
    // A write cut short (Wine's, on a full disk) goes on with the rest,
    // which then fails with Windows' own code, or lands after all.
    while (!bytes.empty()) {
      OVERLAPPED atEnd{};
      atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
      DWORD written = 0;
      if (!WriteFile(handle_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, appending_ ? &atEnd : nullptr))
        throw lastError(u"WriteFile", err::DeviceIoError);
      if (written == 0) throw Error(err::DiskFull);
      bytes.remove_prefix(written);
    }
  }

  std::uint64_t size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.get(), &size)) throw lastError(u"GetFileSizeEx", err::DeviceIoError);
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  void truncate(std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end;
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(handle_.get(), FileEndOfFileInfo, &end, sizeof end))
      throw lastError(u"SetFileInformationByHandle", err::DeviceIoError);
  }

  void beginAppend() override { turn_ = takeAppendTurn(handle_.get()); }
  void endAppend() noexcept override { turn_.reset(); }
  void drop() noexcept override {
    turn_.reset();
    handle_.reset();
  }

  HANDLE handle() const { return handle_.get(); }

 private:
  UniqueFile handle_;
  bool appending_;
  AppendTurn turn_;
};

int checkedSize(std::size_t size) {
  if (size > INT_MAX) throw Error(err::OutOfMemory);
  return static_cast<int>(size);
}

}  // namespace

HANDLE nativeHandle(File& file) {
  auto* win32 = dynamic_cast<Win32File*>(&file);
  return win32 ? win32->handle() : INVALID_HANDLE_VALUE;
}

std::unique_ptr<File> Win32FileSystem::openFile(std::u16string_view path, OpenMode mode) {
  const std::u16string name(path);
  if (name.empty()) throw Error(err::BadFileNameOrNumber);
  DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disposition = OPEN_EXISTING;
  if (mode == OpenMode::Output) {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = CREATE_ALWAYS;
  } else if (mode == OpenMode::Append) {
    // Not FILE_APPEND_DATA alone: Windows locks the turn's byte only for a
    // handle with read or write data access, cuts a failed append back only
    // with write data access, and the last byte is read to end a line the
    // file left open. Appends still go to the end (Win32File::write).
    access = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA | SYNCHRONIZE;
    disposition = OPEN_ALWAYS;
  }
  // A sharing or lock violation is waited out; any other failure is final
  // at once.
  UniqueFile handle;
  DWORD code = ERROR_SUCCESS;
  retryAnswering(kSharingWaitMs, kSharingPauseMs, [&] {
    handle.reset(CreateFileW(wide(name), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    code = handle ? ERROR_SUCCESS : GetLastError();
    return code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION;
  });
  if (!handle) throw systemError(u"CreateFileW", code, err::PathFileAccessError, path);
  return std::make_unique<Win32File>(std::move(handle), mode == OpenMode::Append);
}

void Win32FileSystem::removeFile(std::u16string_view path) {
  const std::u16string name(path);
  if (DeleteFileW(wide(name))) return;
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return;
  throw systemError(u"DeleteFileW", code, err::PathFileAccessError, path);
}

std::uint64_t Win32FileSystem::sizeOf(std::u16string_view path) noexcept {
  try {
    const std::u16string name(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(name), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  } catch (...) {
    return 0;  // no memory for the name
  }
}

std::string Win32FileSystem::encode(std::u16string_view text) {
  if (text.empty()) return {};
  const std::wstring_view source = wide(text);
  const int size = checkedSize(source.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, source.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) throw lastError(u"WideCharToMultiByte", err::InvalidProcedureCall);
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  if (!WideCharToMultiByte(CP_ACP, 0, source.data(), size, bytes.data(), needed, nullptr, nullptr))
    throw lastError(u"WideCharToMultiByte", err::InvalidProcedureCall);
  return bytes;
}

std::u16string Win32FileSystem::decode(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = checkedSize(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (needed <= 0) throw lastError(u"MultiByteToWideChar", err::InvalidProcedureCall);
  std::wstring text(static_cast<std::size_t>(needed), L'\0');
  if (!MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), needed))
    throw lastError(u"MultiByteToWideChar", err::InvalidProcedureCall);
  return fromWide(text.data(), text.size());
}

}  // namespace rt::win32
