#include "win32_services.h"

#include <commctrl.h>

#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "runtime/text.h"
#include "win32_error.h"
#include "win32_handles.h"
#include "win32_text.h"
#include "win32_window.h"

namespace rt::win32 {
namespace {

// Waits up to ms milliseconds, or until handle (when given) is signalled,
// answering messages that other threads send to this one meanwhile: the
// clipboard's owner gets WM_DESTROYCLIPBOARD, sent and waited for, when
// another program empties the clipboard, and that program may be the one
// this wait is for. Posted messages stay queued for the event loop.
// Returns whether the handle was signalled (or abandoned).
bool waitAnswering(HANDLE handle, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD passed = GetTickCount() - start;
    const DWORD left = passed < ms ? ms - passed : 0;
    const DWORD got = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr, left, QS_SENDMESSAGE, 0);
    if (handle && (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED_0)) return true;
    if (got != static_cast<DWORD>(WAIT_OBJECT_0 + (handle ? 1 : 0))) return false;  // time up, or failed
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers what was sent
  }
}

// Copies of these programs take turns at the clipboard. A lookup sets it once
// per match, a few times in a millisecond; a copy that found it taken and
// waited would find it taken again at each try while the others keep taking
// it in between. The turn is only a courtesy among these programs: when it
// cannot be had, the clipboard is tried all the same.
constexpr wchar_t kClipboardTurn[] = L"Local\\MacAddressTools.ClipboardTurn";
constexpr DWORD kTurnWaitMs = 5000;

// Another program may hold the clipboard for a moment; wait up to about a
// second before giving up.
constexpr int kClipboardTries = 20;
constexpr DWORD kClipboardPauseMs = 50;

ClipboardSession openClipboard(HWND owner) {
  for (int i = 0;; ++i) {
    if (OpenClipboard(owner)) return ClipboardSession(true);
    if (i + 1 == kClipboardTries) throw Error(err::CantOpenClipboard);
    waitAnswering(nullptr, kClipboardPauseMs);
  }
}

// Movable global memory, as the clipboard takes it, holding a copy of size
// bytes followed by zeros bytes of zero.
UniqueGlobal globalCopy(const void* data, std::size_t size, std::size_t zeros = 0) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size + zeros));
  if (!memory) throw lastError(err::OutOfMemory);
  void* target = GlobalLock(memory.get());
  if (!target) throw lastError(err::OutOfMemory);
  const GlobalUnlocker unlock(memory.get());
  std::memcpy(target, data, size);
  std::memset(static_cast<char*>(target) + size, 0, zeros);
  return memory;
}

using DateOrTimeFormat = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

std::u16string formatted(DateOrTimeFormat format, DWORD flags, const DateTime& when) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  const int size = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, nullptr, 0);
  if (size <= 0) throw lastError(err::InvalidProcedureCall);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int got = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, text.data(), size);
  if (got <= 0) throw lastError(err::InvalidProcedureCall);
  return fromWide(text.data(), static_cast<std::size_t>(got - 1));
}

int showWindowFor(WindowStyle style) {
  switch (style) {
    case WindowStyle::Minimized: return SW_SHOWMINNOACTIVE;
    case WindowStyle::Hide: return SW_HIDE;
    default: return SW_SHOWNORMAL;
  }
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
  // Visual styles for the fields and the button (common controls 6). When
  // this fails the system's own edit and button classes serve, unstyled.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

Win32Services::~Win32Services() = default;

HWND Win32Services::owner() const { return window_ ? window_->handle() : nullptr; }

Window& Win32Services::createWindow(const FormLayout& layout) {
  window_ = std::make_unique<Win32Window>(instance_, layout, iconId_, dpi_);
  return *window_;
}

void Win32Services::runEventLoop() {
  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return;  // WM_QUIT
    if (got == -1) throw lastError(err::InvalidProcedureCall);
    if (window_)
      window_->dispatch(msg);
    else
      DispatchMessageW(&msg);
  }
}

std::u16string Win32Services::commandLine() { return argumentsOf(fromWide(GetCommandLineW())); }

std::u16string Win32Services::environment(std::u16string_view name) {
  const std::u16string key(name);
  std::wstring value;
  // The value may grow between asking its size and reading it.
  for (DWORD size = 256;;) {
    value.resize(size);
    SetLastError(ERROR_SUCCESS);
    const DWORD got = GetEnvironmentVariableW(wide(key), value.data(), size);
    if (got == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND || GetLastError() == ERROR_SUCCESS) return {};
      throw lastError(err::InvalidProcedureCall);
    }
    if (got < size) return fromWide(value.data(), got);
    size = got;
  }
}

void Win32Services::clipboardSetText(std::u16string_view text, ClipboardEntry entry) {
  UniqueGlobal memory = globalCopy(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
  // Registered names of "Cloud Clipboard and Clipboard History Formats":
  // clipboard history, cloud sync and clipboard managers that honour them
  // pass the content over. Elsewhere they are just more formats.
  struct Marker {
    const wchar_t* format;
    DWORD value;
  };
  static constexpr Marker kPassOver[] = {{L"ExcludeClipboardContentFromMonitorProcessing", 0},
                                         {L"CanIncludeInClipboardHistory", 0},
                                         {L"CanUploadToCloudClipboard", 0}};
  std::vector<std::pair<UINT, UniqueGlobal>> markers;
  if (entry == ClipboardEntry::Passing) {
    // Registered once: a lookup sets one passing text per match.
    for (std::size_t i = 0; i < std::size(kPassOver); ++i) {
      if (!passOverFormats_[i] && !(passOverFormats_[i] = RegisterClipboardFormatW(kPassOver[i].format)))
        throw lastError(err::CantOpenClipboard);
      markers.emplace_back(passOverFormats_[i], globalCopy(&kPassOver[i].value, sizeof kPassOver[i].value));
    }
  }
  // Released after the clipboard is closed: declared before the session.
  const HeldTurn turn = takeClipboardTurn();
  const ClipboardSession session = openClipboard(owner());
  // A passing text goes beside what the clipboard holds; the final one
  // replaces it all, markers of earlier passing texts included, in the
  // same session, so that listeners see one change.
  if (entry == ClipboardEntry::Final && !EmptyClipboard()) throw lastError(err::CantOpenClipboard);
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw lastError(err::CantOpenClipboard);
  memory.release();  // the clipboard owns it now
  for (auto& [format, data] : markers) {
    if (!SetClipboardData(format, data.get())) throw lastError(err::CantOpenClipboard);
    data.release();
  }
}

HeldTurn Win32Services::takeClipboardTurn() {
  if (!clipboardTurn_) {
    // A name held by another kind of object, or no name space: no turns.
    clipboardTurn_.reset(CreateMutexW(nullptr, FALSE, kClipboardTurn));
    if (!clipboardTurn_) return HeldTurn();
  }
  return waitAnswering(clipboardTurn_.get(), kTurnWaitMs) ? HeldTurn(clipboardTurn_.get()) : HeldTurn();
}

void Win32Services::startProcess(std::u16string_view path, WindowStyle style) {
  // Quoted, so that a folder with blanks in its name is one argument.
  std::wstring commandLine = L"\"" + std::wstring(wide(path)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showWindowFor(style));
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    throw lastError(err::InvalidProcedureCall, path);
  const UniqueHandle process(info.hProcess), thread(info.hThread);
}

DateTime Win32Services::now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::u16string Win32Services::formatDate(const DateTime& when) { return formatted(GetDateFormatW, DATE_SHORTDATE, when); }

std::u16string Win32Services::formatTime(const DateTime& when) { return formatted(GetTimeFormatW, 0, when); }

void Win32Services::reportError(const Error& error) {
  const std::u16string text =
      u"Run-time error '" + widen(std::to_string(error.number())) + u"':\r\n\r\n" + error.description();
  if (!MessageBoxW(owner(), wide(text), wide(programName_), MB_OK | MB_ICONERROR | MB_SETFOREGROUND)) {
    // No box (out of memory, no desktop): a debugger still sees the report,
    // and the exit code carries the number.
    OutputDebugStringW(wide(text + u"\r\n"));
  }
}

}  // namespace rt::win32
