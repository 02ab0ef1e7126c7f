#include "win32_services.h"

#include <commctrl.h>

#include <cstring>

#include "runtime/text.h"
#include "win32_handles.h"
#include "win32_window.h"

namespace rt {
namespace {

// Another program may hold the clipboard for a moment; wait up to about a
// second before giving up.
constexpr int kClipboardTries = 20;
constexpr DWORD kClipboardPauseMs = 50;

void openClipboard(win32::ClipboardSession& session, HWND owner) {
  for (int i = 0; i < kClipboardTries; ++i) {
    if (session.open(owner)) return;
    Sleep(kClipboardPauseMs);
  }
  throw Error(err::CantOpenClipboard);
}

std::u16string fromSystemTime(int (*format)(const SYSTEMTIME&, wchar_t*, int), const DateTime& when) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  wchar_t buffer[128];
  const int size = format(st, buffer, 128);
  return size > 0 ? fromWide(buffer, static_cast<std::size_t>(size - 1)) : std::u16string();
}

}  // namespace

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

// The base keeps only a reference to fs_, which is constructed before any use.
Win32Services::Win32Services(HINSTANCE instance, std::u16string programName, int iconId)
    : Services(fs_), instance_(instance), programName_(std::move(programName)), iconId_(iconId) {
  // Visual styles for the fields and the button (common controls 6).
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

Win32Services::~Win32Services() = default;

HWND Win32Services::owner() const { return window_ ? window_->handle() : nullptr; }

Window& Win32Services::createWindow(const FormLayout& layout) {
  window_ = std::make_unique<Win32Window>(instance_, layout, iconId_);
  return *window_;
}

void Win32Services::runEventLoop() {
  MSG msg;
  while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window_)
      window_->dispatch(msg);
    else
      DispatchMessageW(&msg);
  }
}

std::u16string Win32Services::commandLine() {
  const wchar_t* line = GetCommandLineW();
  return argumentsOf(fromWide(line, std::wcslen(line)));
}

std::u16string Win32Services::environment(std::u16string_view name) {
  const std::u16string key(name);
  const DWORD needed = GetEnvironmentVariableW(wide(key), nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD got = GetEnvironmentVariableW(wide(key), value.data(), needed);
  return fromWide(value.data(), got);
}

void Win32Services::clipboardClear() {
  win32::ClipboardSession session;
  openClipboard(session, owner());
  EmptyClipboard();
}

void Win32Services::clipboardSetText(std::u16string_view text) {
  win32::GlobalMemory memory((text.size() + 1) * sizeof(char16_t));
  if (!memory.get()) throw Error(err::CantOpenClipboard);
  {
    const win32::GlobalLock lock(memory.get());
    auto* target = static_cast<char16_t*>(lock.get());
    std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
    target[text.size()] = u'\0';
  }
  win32::ClipboardSession session;
  openClipboard(session, owner());
  // The clipboard is not emptied first: other formats on it stay.
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw Error(err::CantOpenClipboard);
  memory.release();  // the clipboard owns it now
}

void Win32Services::startProcess(std::u16string_view path, WindowStyle style) {
  // Quoted, so that a folder with blanks in its name is one argument.
  std::wstring commandLine = L"\"" + std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size()) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = style == WindowStyle::MinimizedFocus ? SW_SHOWMINIMIZED
                        : style == WindowStyle::Hide         ? SW_HIDE
                                                             : SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    const DWORD code = GetLastError();
    throw Error(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? err::FileNotFound
                                                                             : err::InvalidProcedureCall);
  }
  const win32::UniqueHandle process(info.hProcess), thread(info.hThread);
}

DateTime Win32Services::now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::u16string Win32Services::formatDate(const DateTime& when) {
  return fromSystemTime(
      [](const SYSTEMTIME& st, wchar_t* out, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, out, size);
      },
      when);
}

std::u16string Win32Services::formatTime(const DateTime& when) {
  return fromSystemTime(
      [](const SYSTEMTIME& st, wchar_t* out, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, out, size);
      },
      when);
}

void Win32Services::reportError(const Error& error) {
  const std::u16string text =
      u"Run-time error '" + widen(std::to_string(error.number())) + u"':\r\n\r\n" + error.description();
  MessageBoxW(owner(), wide(text), wide(programName_), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace rt
