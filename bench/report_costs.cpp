// What one reported lease costs as Windows calls, for the profile of a
// lookup under Wine: setting the clipboard (done twice per match) and
// appending a record to a log (open, one write, close). Prints
// milliseconds per call:  report_costs LOGPATH
#include <windows.h>

#include <cstdio>
#include <cstring>

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

void setClipboard(const wchar_t*) {
  static const wchar_t text[] = L"Hostname pc01\r\nMacaddress:00:1a:2b:3c:4d:5e";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(GlobalLock(memory), text, sizeof text);
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) return;
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

void appendRecord(const wchar_t* log) {
  static const char record[] = "Searchdate:   12/7/2026 9:44:24 AM\r\n               pc01\r\n";
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, record, sizeof record - 1, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 64;
  std::printf("%.3f %.3f\n", millisecondsPerCall(setClipboard, argv[1]), millisecondsPerCall(appendRecord, argv[1]));
  DeleteFileW(argv[1]);
  return 0;
}
