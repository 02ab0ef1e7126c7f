// What one reported lease costs as Windows calls, for the profile of a
// lookup under Wine: setting the clipboard, plain and as a lookup sets each
// report (with the three formats that keep it out of clipboard history,
// in the clipboard turn that copies of the programs share), and appending
// a record to a log (open, one write in the file's append turn, close).
// Each of the last two is also timed without its turn. Prints milliseconds
// per call:
//   report_costs LOGPATH  ->  PLAIN PASSING_NO_TURN PASSING APPEND_NO_TURN APPEND
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "leases/lease_record.h"
#include "runtime/clipboard_formats.h"
#include "win32_turns.h"

namespace {

constexpr int kCalls = 400;

double millisecondsPerCall(void (*call)(const wchar_t*), const wchar_t* log) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kCalls; ++i) call(log);
  QueryPerformanceCounter(&end);
  return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart / kCalls;
}

HGLOBAL copy(const void* data, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  return memory;
}

void setData(UINT format, HGLOBAL memory) {
  if (!SetClipboardData(format, memory)) GlobalFree(memory);
}

const wchar_t kReport[] = L"Hostname pc01\r\nMacaddress:00:1a:2b:3c:4d:5e";

void setClipboard(const wchar_t*) {
  HGLOBAL memory = copy(kReport, sizeof kReport);
  if (!OpenClipboard(nullptr)) return;
  setData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// The turns as the programs take them, uncontended here: a named mutex
// around the clipboard session, and one locked byte far past the end of
// the file around the write.
using rt::win32::appendTurnAt;

HANDLE clipboardTurn() {
  static const HANDLE turn = CreateMutexW(nullptr, FALSE, rt::win32::kClipboardTurn);
  return turn;
}

bool inTurns = false;

void setPassingClipboard(const wchar_t*) {
  static const auto registered = [](std::u16string_view name) {
    return RegisterClipboardFormatW(reinterpret_cast<const wchar_t*>(std::u16string(name).c_str()));
  };
  static const UINT formats[4] = {registered(rt::kOwnPassingFormat), registered(rt::kPassOverFormats[0]),
                                  registered(rt::kPassOverFormats[1]), registered(rt::kPassOverFormats[2])};
  HGLOBAL memory = copy(kReport, sizeof kReport);
  HGLOBAL values[4];
  for (int i = 0; i < 4; ++i) values[i] = copy(&rt::win32::kPassOverValue, sizeof rt::win32::kPassOverValue);
  if (inTurns) WaitForSingleObject(clipboardTurn(), INFINITE);
  if (OpenClipboard(nullptr)) {
    setData(CF_UNICODETEXT, memory);
    for (int i = 0; i < 4; ++i) setData(formats[i], values[i]);
    CloseClipboard();
  }
  if (inTurns) ReleaseMutex(clipboardTurn());
}

// A record as the lookup logs it, in ASCII.
std::string sampleRecord() {
  const leases::Lease lease{u"192.168.0.10 ", u" 255.255.255.0 ", u" 00:1a:2b:3c:4d:5e ", u" 18.11.2027 09:00:00 ", u" pc01"};
  std::string bytes;
  for (const std::u16string& line : leases::recordLines(leases::recordOf(lease, u"12/7/2026", u"9:44:24 AM"))) {
    for (char16_t c : line) bytes += static_cast<char>(c);
    bytes += "\r\n";
  }
  return bytes;
}

void appendRecord(const wchar_t* log) {
  static const std::string record = sampleRecord();
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED at = appendTurnAt();
  if (inTurns) LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
  DWORD written;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  if (inTurns) UnlockFileEx(file, 0, 1, 0, &at);
  CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 64;
  const double plain = millisecondsPerCall(setClipboard, argv[1]);
  const double passingNoTurn = millisecondsPerCall(setPassingClipboard, argv[1]);
  const double appendNoTurn = millisecondsPerCall(appendRecord, argv[1]);
  inTurns = true;
  const double passing = millisecondsPerCall(setPassingClipboard, argv[1]);
  const double append = millisecondsPerCall(appendRecord, argv[1]);
  std::printf("%.3f %.3f %.3f %.3f %.3f\n", plain, passingNoTurn, passing, appendNoTurn, append);
  DeleteFileW(argv[1]);
  return 0;
}
