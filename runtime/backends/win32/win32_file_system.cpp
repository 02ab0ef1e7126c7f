#include "win32_file_system.h"

#include <windows.h>

#include <climits>

#include "runtime/error.h"
#include "runtime/text.h"
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

// A read cancelled (Close, the end of the session) is waited for up to this
// before its buffer is given up for lost: Close ends a lookup within 1 s.
constexpr DWORD kCancelWaitMs = 500;

// Where a read ends a file: its end, or a pipe whose writer has gone.
bool isEnd(DWORD code) {
  return code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE || code == ERROR_PIPE_NOT_CONNECTED;
}

// A read of a file opened for input, under way: its OVERLAPPED and the
// manual-reset event it signals. Held apart from the file, so that a read
// the system never ends can keep them while the process ends.
struct ReadIo : EventSignal {
  OVERLAPPED overlapped{};
  UniqueHandle owned;
};

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
  // io: for a file opened for overlapped input, its read's event.
  Win32File(UniqueFile handle, bool appending, std::unique_ptr<ReadIo> io = {})
      : handle_(std::move(handle)), appending_(appending), io_(std::move(io)),
        disk_(GetFileType(handle_.get()) == FILE_TYPE_DISK), state_(io_ ? Reads::Idle : Reads::Plain) {}
  // Never waits: a read still under way (cancelRead was not asked) is
  // cancelled, and given up unless it is done at once.
  ~Win32File() override {
    if (state_ == Reads::Reading && !HasOverlappedIoCompleted(&io_->overlapped)) {
      CancelIoEx(handle_.get(), &io_->overlapped);
      if (!HasOverlappedIoCompleted(&io_->overlapped)) giveUp();
    }
  }

  std::size_t read(char* buffer, std::size_t size) override {
    const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    if (state_ == Reads::GivenUp) throw Error(err::DeviceIoError);  // its handle is the system's now
    if (state_ == Reads::Plain) {
      DWORD got = 0;
      if (!ReadFile(handle_.get(), buffer, ask, &got, nullptr)) throw lastError(u"ReadFile", err::DeviceIoError);
      return got;
    }
    for (;;) {
      if (state_ == Reads::Idle) {
        OVERLAPPED& at = io_->overlapped;
        at = OVERLAPPED{};
        at.hEvent = io_->event;
        // A pipe ignores the offset; it grows with the bytes read all the
        // same, and says where a pipe's reader stands (seek).
        at.Offset = static_cast<DWORD>(offset_);
        at.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
        if (!ReadFile(handle_.get(), buffer, ask, nullptr, &at)) {
          const DWORD code = GetLastError();
          if (isEnd(code)) return 0;
          if (code != ERROR_IO_PENDING) throw systemError(u"ReadFile", code, err::DeviceIoError);
        }
        state_ = Reads::Reading;
      }
      // Asked before the caller waits: Wine reads an ordinary file at once
      // and still says the read is pending.
      if (!HasOverlappedIoCompleted(&io_->overlapped)) return kPending;
      state_ = Reads::Idle;
      DWORD got = 0;
      if (!GetOverlappedResult(handle_.get(), &io_->overlapped, &got, FALSE)) {
        const DWORD code = GetLastError();
        if (isEnd(code)) return 0;
        throw systemError(u"GetOverlappedResult", code, err::DeviceIoError);
      }
      offset_ += got;
      // A pipe's empty message is no end: the next read may bring data.
      if (got != 0 || disk_) return got;
    }
  }

  Signal* readSignal() noexcept override {
    return state_ == Reads::Reading && !HasOverlappedIoCompleted(&io_->overlapped) ? io_.get() : nullptr;
  }

  void awaitRead() override {
    if (state_ == Reads::Reading) pauseAnswering(INFINITE, io_->event);
  }

  bool cancelRead() noexcept override {
    if (state_ == Reads::GivenUp) return false;
    if (state_ != Reads::Reading) return true;
    if (!HasOverlappedIoCompleted(&io_->overlapped)) {
      // ERROR_NOT_FOUND: it finished first. Success or not, the read ends
      // (aborted, done, or failed) and is then waited for.
      CancelIoEx(handle_.get(), &io_->overlapped);
      pauseAnswering(waitAllowance(kCancelWaitMs), io_->event);
    }
    if (!HasOverlappedIoCompleted(&io_->overlapped)) {
      giveUp();
      return false;
    }
    state_ = Reads::Idle;
    return true;
  }

  bool canSeek() const noexcept override { return disk_; }

  void seek(std::uint64_t offset) override {
    if (state_ == Reads::GivenUp) throw Error(err::DeviceIoError);
    if (state_ != Reads::Plain) {  // reads say where they read
      if (!disk_ && offset != offset_) throw Error(err::DeviceIoError);
      offset_ = offset;
      return;
    }
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
    if (state_ != Reads::GivenUp) handle_.reset();
  }

  HANDLE handle() const { return handle_.get(); }

 private:
  enum class Reads {
    Plain,    // read as it is: the log's handle, a file on a fixed disk
    Idle,     // overlapped input, no read under way
    Reading,  // a read of io_ under way
    GivenUp,  // a read the system never ended: handle and io are its own
  };

  // The system may still write the read's OVERLAPPED and buffer, and end
  // the read through the handle: all three stay, untouched, until the
  // process ends. Closing the handle could itself block (a network
  // redirector waits for its server).
  void giveUp() noexcept {
    (void)io_.release();
    (void)handle_.release();
    state_ = Reads::GivenUp;
  }

  UniqueFile handle_;
  bool appending_;
  std::unique_ptr<ReadIo> io_;
  bool disk_;
  Reads state_;
  std::uint64_t offset_ = 0;  // where the next read of io_ reads
  AppendTurn turn_;
};

// Whether a path names a pipe, which is never sized: sizing it would
// connect to it and use up one of its instances.
bool isPipeName(std::u16string_view path) {
  constexpr std::u16string_view prefix = u"\\\\.\\pipe\\";
  if (path.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char16_t c = path[i] >= u'A' && path[i] <= u'Z' ? static_cast<char16_t>(path[i] | 0x20) : path[i];
    if (c != prefix[i] && !(i == 2 && c == u'?')) return false;  // \\?\pipe\ too
  }
  return true;
}

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
  if (mode == OpenMode::Output || mode == OpenMode::NewOutput) {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ;
    disposition = mode == OpenMode::Output ? CREATE_ALWAYS : CREATE_NEW;
  } else if (mode == OpenMode::Append) {
    // Not FILE_APPEND_DATA alone: Windows locks the turn's byte only for a
    // handle with read or write data access, cuts a failed append back only
    // with write data access, and the last byte is read to end a line the
    // file left open. Appends still go to the end (Win32File::write).
    access = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA | SYNCHRONIZE;
    disposition = OPEN_ALWAYS;
  }
  // Input that may wait (a pipe, a share that stalls) is read overlapped,
  // so that a read returns to the lookup, which waits with its window
  // alive. A file on a fixed local disk is read as it is: under Wine an
  // overlapped read costs more for every page it reads.
  std::unique_ptr<ReadIo> io;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
  if (mode == OpenMode::Input && readsMayWait(name)) {
    io = std::make_unique<ReadIo>();
    io->owned.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!io->owned) throw lastError(u"CreateEventW", err::OutOfMemory);
    io->event = io->owned.get();
    flags |= FILE_FLAG_OVERLAPPED;
  }
  // The list file and the listings are named by data: a pipe among them
  // may learn who reads it, never act as this user. The first flag is also
  // FILE_FLAG_OPEN_NO_RECALL: a listing on offline storage is read where
  // it is, not recalled.
  if (mode == OpenMode::Input) flags |= SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
  // A sharing or lock violation is waited out; any other failure is final
  // at once.
  UniqueFile handle;
  DWORD code = ERROR_SUCCESS;
  retryAnswering(kSharingWaitMs, kSharingPauseMs, [&] {
    handle.reset(CreateFileW(wide(name), access, share, nullptr, disposition, flags, nullptr));
    code = handle ? ERROR_SUCCESS : GetLastError();
    return code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION;
  });
  // A new file's name held by a file whose delete is pending: taken.
  if (!handle && mode == OpenMode::NewOutput && code == ERROR_ACCESS_DENIED)
    throw systemError(u"CreateFileW", code, err::FileAlreadyExists, path);
  if (!handle) throw systemError(u"CreateFileW", code, err::PathFileAccessError, path);
  return std::make_unique<Win32File>(std::move(handle), mode == OpenMode::Append, std::move(io));
}

void Win32FileSystem::removeFile(std::u16string_view path, bool waitForHolder) {
  const std::u16string name(path);
  DWORD code = ERROR_SUCCESS;
  retryAnswering(waitForHolder ? kSharingWaitMs : 0, kSharingPauseMs, [&] {
    code = DeleteFileW(wide(name)) ? ERROR_SUCCESS : GetLastError();
    return code != ERROR_SHARING_VIOLATION;
  });
  if (code == ERROR_SUCCESS || code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return;
  throw systemError(u"DeleteFileW", code, err::PathFileAccessError, path);
}

void Win32FileSystem::renameFile(std::u16string_view from, std::u16string_view to) {
  const std::u16string source(from), target(to);
  DWORD code = ERROR_SUCCESS;
  // No MOVEFILE_REPLACE_EXISTING: a name taken stays the other file's.
  retryAnswering(kSharingWaitMs, kSharingPauseMs, [&] {
    code = MoveFileExW(wide(source), wide(target), 0) ? ERROR_SUCCESS : GetLastError();
    return code != ERROR_SHARING_VIOLATION;
  });
  if (code == ERROR_SUCCESS) return;
  // Access denied with the source there: the target's name is held by a
  // file whose delete another program left pending, so it counts as taken.
  if (code == ERROR_ACCESS_DENIED && GetFileAttributesW(wide(source)) != INVALID_FILE_ATTRIBUTES)
    throw systemError(u"MoveFileExW", code, err::FileAlreadyExists, to);
  throw systemError(u"MoveFileExW", code, err::PathFileAccessError, from);
}

std::vector<std::u16string> Win32FileSystem::namesIn(std::u16string_view folder, std::u16string_view prefix,
                                                     std::u16string_view suffix) {
  const std::u16string pattern = std::u16string(folder) + u"\\" + std::u16string(prefix) + u"*" + std::u16string(suffix);
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW found;
  const FindHandle find(FindFirstFileW(wide(pattern), &found));
  if (!find) return names;
  do {
    // The pattern also matches short (8.3) names: the long name decides.
    const std::u16string name = fromWide(found.cFileName);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && hasEndsIgnoringCase(name, prefix, suffix)) names.push_back(name);
  } while (FindNextFileW(find.get(), &found));
  return names;
}

bool Win32FileSystem::readsMayWait(const std::u16string& path) {
  if (path.size() >= 2 && (path[0] == u'\\' || path[0] == u'/') && (path[1] == u'\\' || path[1] == u'/')) return true;
  const bool lettered = path.size() >= 2 && path[1] == u':' && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z');
  UINT& type = driveTypes_[lettered ? (path[0] | 0x20) - u'a' : driveTypes_.size() - 1];
  if (type == DRIVE_UNKNOWN) {
    const wchar_t root[] = {static_cast<wchar_t>(path[0]), L':', L'\\', L'\0'};
    type = GetDriveTypeW(lettered ? root : nullptr);  // else the current folder's drive
  }
  return type != DRIVE_FIXED && type != DRIVE_RAMDISK;
}

std::uint64_t Win32FileSystem::sizeOf(std::u16string_view path) noexcept {
  try {
    if (isPipeName(path)) return 0;
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
