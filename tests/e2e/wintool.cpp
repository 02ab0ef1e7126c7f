// The end-to-end tests' eyes and hands inside Wine: reads and holds the
// Windows clipboard, reads a window's fields, selection, focus and
// geometry, starts a program with a changed environment, and reads a
// lookup's log with the record layout the program writes it with.
#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "leases/lease_record.h"
#include "win32_turns.h"

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

void out(const std::string& text) {
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool openClipboard() {
  for (int i = 0; i < 100; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// Prints the clipboard's text as UTF-8; exit code 3 when it holds no text.
int clipGet() {
  if (!openClipboard()) return 2;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) {
    CloseClipboard();
    return 3;
  }
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  out(utf8(text ? text : L""));
  GlobalUnlock(data);
  CloseClipboard();
  return 0;
}

int clipSet(const std::wstring& wide) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  if (!openClipboard()) return 2;
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  return 0;
}

// Listens to the clipboard as clipboard history does: prints "listening",
// then one line per change notified, "seq=S text=TEXT marked=N": the
// clipboard's sequence number when it was read (a listener reads after the
// fact, so a later change may already stand there), TEXT with CR and LF as
// \r and \n ("(none)" without text), N of the three formats that ask
// history, cloud sync and managers to pass the content over. Ends once
// idleMs pass without a change after the first, or after maxMs.
int clipWatch(int idleMs, int maxMs) {
  HWND listener = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (!listener || !AddClipboardFormatListener(listener)) return 2;
  const UINT markers[] = {RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing"),
                          RegisterClipboardFormatW(L"CanIncludeInClipboardHistory"),
                          RegisterClipboardFormatW(L"CanUploadToCloudClipboard")};
  out("listening\n");
  const DWORD start = GetTickCount();
  DWORD last = 0;
  for (;;) {
    const DWORD now = GetTickCount();
    if (now - start >= static_cast<DWORD>(maxMs) || (last && now - last >= static_cast<DWORD>(idleMs))) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_CLIPBOARDUPDATE) {
        DispatchMessageW(&msg);
        continue;
      }
      last = GetTickCount();
      std::string text = "(none)";
      int marked = 0;
      DWORD sequence = 0;
      if (openClipboard()) {
        sequence = GetClipboardSequenceNumber();
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
          if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.clear();
            for (char c : utf8(chars)) text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
            GlobalUnlock(data);
          }
        }
        for (UINT format : markers) marked += IsClipboardFormatAvailable(format) ? 1 : 0;
        CloseClipboard();
      }
      out("seq=" + std::to_string(sequence) + " text=" + text + " marked=" + std::to_string(marked) + "\n");
    }
  }
  RemoveClipboardFormatListener(listener);
  return 0;
}

// Holds the clipboard open for the given milliseconds; prints "held" once it has it.
int clipHold(int ms) {
  if (!openClipboard()) return 2;
  out("held\n");
  Sleep(static_cast<DWORD>(ms));
  CloseClipboard();
  return 0;
}

// Opens a file for writing that no one else may open, for the given
// milliseconds; prints "held" once it has it. With share-delete, opens it
// for reading as a virus scanner or cmd does, letting others read, write
// and delete it.
int fileHold(const wchar_t* path, int ms, bool shareDelete) {
  HANDLE file = shareDelete ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                            : CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  out("held\n");
  Sleep(static_cast<DWORD>(ms));
  CloseHandle(file);
  return 0;
}

// Makes the named pipe \\.\pipe\NAME and prints "held"; once a reader
// connects, holds it for the given milliseconds without writing a byte,
// then closes it: a listing that stalls, then ends.
int pipeHold(const std::wstring& name, int ms) {
  HANDLE pipe = CreateNamedPipeW((L"\\\\.\\pipe\\" + name).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                 PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return 2;
  out("held\n");
  if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return 2;
  out("connected\n");
  Sleep(static_cast<DWORD>(ms));
  CloseHandle(pipe);
  return 0;
}

// Puts text on the clipboard with "HTML Format" beside it, as a word
// processor copies.
int clipSetRich(const std::wstring& wide) {
  const std::string html = "<html><body><!--StartFragment-->" + utf8(wide) + "<!--EndFragment--></body></html>";
  HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  HGLOBAL rich = GlobalAlloc(GMEM_MOVEABLE, html.size() + 1);
  memcpy(GlobalLock(text), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(text);
  memcpy(GlobalLock(rich), html.c_str(), html.size() + 1);
  GlobalUnlock(rich);
  if (!openClipboard()) return 2;
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, text);
  SetClipboardData(RegisterClipboardFormatW(L"HTML Format"), rich);
  CloseClipboard();
  return 0;
}

// The clipboard's formats that have names (registered ones, "HTML Format"
// say), one per line; the standard ones are left out.
int clipFormats() {
  if (!openClipboard()) return 2;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    wchar_t name[128];
    if (GetClipboardFormatNameW(format, name, 128) > 0) out(utf8(name) + "\n");
  }
  CloseClipboard();
  return 0;
}

// Holds a file's append turn, as another copy of the programs appending to
// it does: the byte of win32_turns.h locked, for the given milliseconds;
// prints "held" once it has it.
int turnHold(const wchar_t* path, int ms) {
  HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  OVERLAPPED at = rt::win32::appendTurnAt();
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) return 3;
  out("held\n");
  Sleep(static_cast<DWORD>(ms));
  at = rt::win32::appendTurnAt();
  UnlockFileEx(file, 0, 1, 0, &at);
  CloseHandle(file);
  return 0;
}

HWND findForm() {
  for (int i = 0; i < 200; ++i) {
    if (HWND hwnd = FindWindowW(L"MacToolsForm1", nullptr)) return hwnd;
    Sleep(50);
  }
  return nullptr;
}

std::wstring textOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  const auto got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

BOOL CALLBACK collectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

// One line per fact: caption, dpi, client size, and for each control its
// text, font height, selection and rectangle in client pixels; last the
// focused control.
int form() {
  HWND hwnd = findForm();
  if (!hwnd) return 2;
  std::vector<HWND> children;
  EnumChildWindows(hwnd, collectChild, reinterpret_cast<LPARAM>(&children));
  RECT client;
  GetClientRect(hwnd, &client);
  out("caption=" + utf8(textOf(hwnd)) + "\n");
  out("dpi=" + std::to_string(GetDpiForWindow(hwnd)) + "\n");
  out("client=" + std::to_string(client.right) + "x" + std::to_string(client.bottom) + "\n");
  out("visible=" + std::to_string(IsWindowVisible(hwnd) ? 1 : 0) + "\n");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info);
  for (HWND child : children) {
    const std::string name = "control" + std::to_string(GetDlgCtrlID(child));
    wchar_t cls[32];
    GetClassNameW(child, cls, 32);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    out(name + ".class=" + utf8(cls) + "\n");
    out(name + ".text=" + utf8(textOf(child)) + "\n");
    out(name + ".rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) +
        "," + std::to_string(r.bottom - r.top) + "\n");
    LOGFONTW font{};
    if (auto handle = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        handle && GetObjectW(handle, sizeof font, &font))
      out(name + ".font=" + std::to_string(font.lfHeight) + "\n");
    if (lstrcmpiW(cls, L"Edit") == 0) {
      // Through the pointers: the packed result holds only 16 bits of each.
      DWORD start = 0, end = 0;
      SendMessageW(child, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      out(name + ".sel=" + std::to_string(start) + "," + std::to_string(end) + "\n");
    }
    if (child == info.hwndFocus) out("focus=" + name + "\n");
  }
  if (info.hwndFocus == hwnd) out("focus=window\n");
  if (!info.hwndFocus) out("focus=none\n");
  wchar_t activeClass[64] = L"";
  if (info.hwndActive && info.hwndActive != hwnd) GetClassNameW(info.hwndActive, activeClass, 64);
  out(std::string("active=") + (info.hwndActive == hwnd ? "window" : info.hwndActive ? utf8(activeClass) : "none") + "\n");
  return 0;
}

// What a screen reader hears each visible control called: its name through
// Active Accessibility, one "controlID.name=NAME" line each.
int names() {
  HWND hwnd = findForm();
  if (!hwnd) return 2;
  if (FAILED(CoInitialize(nullptr))) return 2;
  std::vector<HWND> children;
  EnumChildWindows(hwnd, collectChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    std::string name = "(no accessible object)";
    IAccessible* accessible = nullptr;
    // __uuidof: the import library's IID_IAccessible is data in oleacc.dll
    // that a plain reference does not reach.
    if (SUCCEEDED(AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&accessible)))) {
      VARIANT self{};
      self.vt = VT_I4;
      self.lVal = CHILDID_SELF;
      BSTR text = nullptr;
      name = accessible->get_accName(self, &text) == S_OK && text ? utf8(text) : "";
      SysFreeString(text);
      accessible->Release();
    }
    out("control" + std::to_string(GetDlgCtrlID(child)) + ".name=" + name + "\n");
  }
  CoUninitialize();
  return 0;
}

// Waits up to 10 s for Wine's desktop process to run its clipboard manager
// (a message-only window). Until then a starting manager may take the
// clipboard over from a program that has just set it. Exit code 2 when
// none came (a Wine that names it otherwise, or Windows itself).
int waitDesktop() {
  for (int i = 0; i < 200; ++i) {
    if (FindWindowExW(HWND_MESSAGE, nullptr, L"__wine_clipboard_manager", nullptr)) return 0;
    Sleep(50);
  }
  return 2;
}

// The texts of a message box of the program, one line per control.
int dialogText() {
  for (int i = 0; i < 200; ++i) {
    if (HWND box = FindWindowW(L"#32770", nullptr)) {
      out("title=" + utf8(textOf(box)) + "\n");
      std::vector<HWND> children;
      EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&children));
      for (HWND child : children) out(utf8(textOf(child)) + "\n");
      return 0;
    }
    Sleep(50);
  }
  return 2;
}

// Whether a form is there now: 0 when it is, 1 when not (no waiting).
int hasForm() { return FindWindowW(L"MacToolsForm1", nullptr) ? 0 : 1; }

// Watches for the programs' window for up to ms: prints "seen" when it
// has existed, "visible" when it was ever on screen (visible, and neither
// minimised nor cloaked away), as it ends.
int watchForm(int ms) {
  bool seen = false, visible = false;
  out("watching\n");
  for (const DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(ms);) {
    if (HWND hwnd = FindWindowW(L"MacToolsForm1", nullptr)) {
      seen = true;
      visible = visible || (IsWindowVisible(hwnd) && !IsIconic(hwnd));
    } else if (seen) {
      break;
    }
    Sleep(1);
  }
  out(std::string(seen ? "seen" : "unseen") + (visible ? " visible\n" : " hidden\n"));
  return 0;
}

// The executable names of the live processes that process id started,
// one per line.
int children(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 2;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ParentProcessID == parent && entry.th32ProcessID != parent) out(utf8(entry.szExeFile) + "\n");
  CloseHandle(snapshot);
  return 0;
}

// Ends the Windows session for the program's window as Windows does:
// asks (WM_QUERYENDSESSION), then tells (WM_ENDSESSION) whether the end is
// certain ("end") or called off ("cancel"). With "end", ends the process
// right after the answer, as Windows may. Prints "answer=A told_ms=T
// exit=E": the answer to the question, how long the program took over the
// end, and its exit code when it ended ("none" while it runs).
int endSession(const std::wstring& mode) {
  HWND hwnd = findForm();
  if (!hwnd) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return 2;
  const bool ending = mode == L"end";
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
  const DWORD before = GetTickCount();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_ENDSESSION, ending, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &ignored);
  const DWORD told = GetTickCount() - before;
  std::string exit = "none";
  if (ending) {
    // Windows may end it at any moment after the answer; the program ended
    // itself before answering, so this finds it gone.
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) TerminateProcess(process, 259);
    WaitForSingleObject(process, 5000);
  }
  DWORD code = 0;
  if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code)) exit = std::to_string(code);
  CloseHandle(process);
  out("answer=" + std::to_string(answer) + " told_ms=" + std::to_string(told) + " exit=" + exit + "\n");
  return 0;
}

// What a click on the title bar's close box sends.
int closeBox() {
  HWND hwnd = findForm();
  if (!hwnd) return 2;
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

// Asks the program's window every 250 ms, as Windows asks a window before
// it calls it "Not Responding" (WM_NULL, up to 1 s for the answer), for ms
// milliseconds or until the window is gone. Prints "asked=N late=L
// slowest=S": L asks got no answer within 1 s, S is the longest wait in
// milliseconds. Exit code 2 when there is no window to ask.
int askWindow(int ms) {
  HWND hwnd = findForm();
  if (!hwnd) return 2;
  int asked = 0, late = 0;
  DWORD slowest = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < static_cast<DWORD>(ms) && IsWindow(hwnd);) {
    const DWORD before = GetTickCount();
    DWORD_PTR result;
    if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) {
      if (!IsWindow(hwnd)) break;  // gone while asked: the program ended
      ++late;
    }
    ++asked;
    const DWORD took = GetTickCount() - before;
    if (took > slowest) slowest = took;
    if (took < 250) Sleep(250 - took);
  }
  out("asked=" + std::to_string(asked) + " late=" + std::to_string(late) + " slowest=" + std::to_string(slowest) + "\n");
  return 0;
}

// Starts a program with variables set (NAME=VALUE) or removed (NAME=),
// and with SHOW=N as the show state its starter asks for (STARTUPINFO's
// wShowWindow, 0 for hidden), prints its process id, waits for it, prints
// its exit code in full and returns it.
int run(int argc, wchar_t** argv) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  int i = 2;
  for (; i < argc && std::wstring(argv[i]) != L"--"; ++i) {
    if (std::wstring(argv[i]).rfind(L"SHOW=", 0) == 0) {
      startup.dwFlags |= STARTF_USESHOWWINDOW;
      startup.wShowWindow = static_cast<WORD>(_wtoi(argv[i] + 5));
      continue;
    }
    std::wstring assignment = argv[i];
    const auto eq = assignment.find(L'=');
    const std::wstring name = assignment.substr(0, eq), value = assignment.substr(eq + 1);
    SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
  }
  std::wstring commandLine;
  for (++i; i < argc; ++i) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += argv[i];
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 250;
  out("pid=" + std::to_string(info.dwProcessId) + "\n");  // whose children a test may wait for
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 251;
  GetExitCodeProcess(info.hProcess, &code);
  out("exit=" + std::to_string(code) + "\n");
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return static_cast<int>(code);
}

// The records of a lookup's log (in the system code page), one line each:
// "DATE|TIME|HOST|MAC|IP|MASK|LEASE", the host as logged; six lines that
// are not laid out as a record give "broken: " and their first line, and
// lines left over at the end "broken: " and the first of them.
int records(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  std::string bytes;
  char buffer[65536];
  for (DWORD got; ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0;) bytes.append(buffer, got);
  CloseHandle(file);
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size()))));
  std::vector<std::u16string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find(L"\r\n", at);
    const std::wstring line = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
    lines.emplace_back(line.begin(), line.end());
    at = end == std::wstring::npos ? text.size() : end + 2;
  }
  const auto shown = [](const std::u16string& line) { return utf8(std::wstring(line.begin(), line.end())); };
  std::size_t i = 0;
  for (; i + leases::kRecordLines <= lines.size(); i += leases::kRecordLines) {
    leases::RecordLines six;
    for (std::size_t j = 0; j < six.size(); ++j) six[j] = lines[i + j];
    const auto r = leases::readRecord(six);
    if (!r) {
      out("broken: " + shown(six[0]) + "\n");
      continue;
    }
    out(shown(r->date) + "|" + shown(r->time) + "|" + shown(r->host) + "|" + shown(r->mac) + "|" + shown(r->ip) + "|" +
        shown(r->mask) + "|" + shown(r->expiry) + "\n");
  }
  if (i < lines.size()) out("broken: " + shown(lines[i]) + "\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // A reader that is not DPI-aware sees another program's window scaled to
  // 96 DPI (Wine 9 and later virtualise coordinates as Windows does). The
  // thread's awareness decides it: under Wine 10, setting the process's
  // alone still left the geometry scaled.
  SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  // --desktop NAME: look at the windows of that desktop (a virtual
  // desktop that explorer /desktop=NAME made) instead of this one's.
  if (argc > 2 && std::wstring(argv[1]) == L"--desktop") {
    HDESK desktop = OpenDesktopW(argv[2], 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) return 4;
    argc -= 2;
    argv += 2;
  }
  const std::wstring verb = argc > 1 ? argv[1] : L"";
  if (verb == L"clip-get") return clipGet();
  if (verb == L"clip-set" && argc > 2) return clipSet(argv[2]);
  if (verb == L"clip-hold" && argc > 2) return clipHold(_wtoi(argv[2]));
  if (verb == L"clip-set-rich" && argc > 2) return clipSetRich(argv[2]);
  if (verb == L"clip-formats") return clipFormats();
  if (verb == L"turn-hold" && argc > 3) return turnHold(argv[2], _wtoi(argv[3]));
  if (verb == L"end-session" && argc > 2) return endSession(argv[2]);
  if (verb == L"clip-watch" && argc > 3) return clipWatch(_wtoi(argv[2]), _wtoi(argv[3]));
  if (verb == L"file-hold" && argc > 3)
    return fileHold(argv[2], _wtoi(argv[3]), argc > 4 && std::wstring(argv[4]) == L"share-delete");
  if (verb == L"pipe-hold" && argc > 3) return pipeHold(argv[2], _wtoi(argv[3]));
  if (verb == L"form") return form();
  if (verb == L"run") return run(argc, argv);
  if (verb == L"close-box") return closeBox();
  if (verb == L"has-form") return hasForm();
  if (verb == L"watch-form" && argc > 2) return watchForm(_wtoi(argv[2]));
  if (verb == L"children" && argc > 2) return children(static_cast<DWORD>(_wtoi(argv[2])));
  if (verb == L"ask-window" && argc > 2) return askWindow(_wtoi(argv[2]));
  if (verb == L"dialog-text") return dialogText();
  if (verb == L"names") return names();
  if (verb == L"wait-desktop") return waitDesktop();
  if (verb == L"records" && argc > 2) return records(argv[2]);
  out("usage: wintool clip-get | clip-set TEXT | clip-set-rich TEXT | clip-formats | clip-hold MS | turn-hold PATH MS | end-session end|cancel | clip-watch IDLE_MS MAX_MS | file-hold PATH MS [share-delete] | form | has-form | watch-form MS | children PID | names | wait-desktop | dialog-text | close-box | ask-window MS | records LOGPATH | run [SHOW=N] NAME=VALUE... -- PROGRAM ARGS; --desktop NAME first: that desktop's windows\n");
  return 64;
}
