// The Windows backend in this process: a change of DPI, as Windows sends it
// when the window moves to a monitor of another DPI, lays the window out
// again exactly at the new DPI and loses nothing the user had; the one
// wait keeps answering what other threads send; and a file opened for
// appending has the rights its append needs on Windows.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/form1.h"
#include "win32_dpi.h"
#include "win32_file_system.h"
#include "win32_turns.h"
#include "win32_handles.h"
#include "win32_wait.h"
#include "win32_window.h"
#include "win32_window_system.h"

namespace {

int pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

RECT clientRectOf(HWND control, HWND parent) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LONG fontHeightOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  return handle && GetObjectW(handle, sizeof font, &font) ? font.lfHeight : 0;
}

TEST(Win32Window, ADpiChangeLaysTheWindowOutAtTheNewDpiAndKeepsTextsSelectionAndFocus) {
  rt::win32::Win32WindowSystem windows(GetModuleHandleW(nullptr), 1, rt::win32::Level::Windows10);
  const rt::FormLayout layout = conv::form1Layout();
  auto& window = dynamic_cast<rt::win32::Win32Window&>(windows.createWindow(layout));
  window.show();
  const HWND hwnd = window.handle();
  window.field(u"Text1").setText(u"00:11:22");
  rt::TextField& text2 = window.field(u"Text2");
  text2.setText(u"aa-bb-cc");
  text2.setFocus();
  text2.setSelStart(1);
  text2.setSelLength(3);
  const HWND edit2 = GetFocus();

  const HWND first = GetDlgItem(hwnd, 100);
  // Under test the window starts at the system's DPI.
  const int startDpi = static_cast<int>(rt::win32::systemDpi());
  const LONG startFont = fontHeightOf(first);
  ASSERT_NE(startFont, 0);

  for (const int dpi : {144, 120, 96}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " dpi");
    const auto oldFont = reinterpret_cast<HFONT>(SendMessageW(first, WM_GETFONT, 0, 0));
    // Where Windows would put the window: a little further along, its size
    // for the new DPI.
    RECT suggested;
    GetWindowRect(hwnd, &suggested);
    OffsetRect(&suggested, 40, 30);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, pixels(layout.clientWidth, dpi));
    EXPECT_EQ(client.bottom, pixels(layout.clientHeight, dpi));
    RECT placed;
    GetWindowRect(hwnd, &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
      const rt::TwipRect& want = layout.controls[i].rect;
      const HWND control = GetDlgItem(hwnd, static_cast<int>(100 + i));
      const RECT r = clientRectOf(control, hwnd);
      EXPECT_EQ(r.left, pixels(want.left, dpi)) << "control " << i;
      EXPECT_EQ(r.top, pixels(want.top, dpi)) << "control " << i;
      EXPECT_EQ(r.right - r.left, pixels(want.width, dpi)) << "control " << i;
      EXPECT_EQ(r.bottom - r.top, pixels(want.height, dpi)) << "control " << i;
      EXPECT_EQ(fontHeightOf(control), MulDiv(startFont, dpi, startDpi)) << "control " << i;
    }
    // The font of the last DPI is deleted once no control uses it.
    EXPECT_EQ(GetObjectType(oldFont), 0u);

    EXPECT_EQ(window.field(u"Text1").text(), u"00:11:22");
    EXPECT_EQ(text2.text(), u"aa-bb-cc");
    EXPECT_EQ(text2.selText(), u"a-b");
    EXPECT_EQ(GetFocus(), edit2);
  }
}

LRESULT CALLBACK countSent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP) return DefWindowProcW(hwnd, message, wParam, lParam);
  ++*reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return 42;
}

template <typename Job>
DWORD WINAPI runJob(void* job) {
  (*static_cast<Job*>(job))();
  return 0;
}

// Runs job on another thread; its end is waited for.
template <typename Job>
rt::win32::UniqueHandle onAnotherThread(Job& job) {
  return rt::win32::UniqueHandle(CreateThread(nullptr, 0, runJob<Job>, &job, 0, nullptr));
}

TEST(Win32Wait, AWaitAnswersWhatAnotherThreadSendsTakesAFreedMutexOnceAndGivesUpAtItsDeadline) {
  using rt::win32::retryAnswering;
  WNDCLASSW wc{};
  wc.lpfnWndProc = countSent;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MacToolsWaitTest";
  RegisterClassW(&wc);
  const rt::win32::UniqueWindow hwnd(
      CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(hwnd);
  int answered = 0;
  SetWindowLongPtrW(hwnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answered));

  // The sender is blocked until this thread answers; only a wait that
  // answers lets it through before the wait's end.
  LRESULT result = 0;
  auto send = [&] { result = SendMessageW(hwnd.get(), WM_APP, 0, 0); };
  const rt::win32::UniqueHandle sender = onAnotherThread(send);
  EXPECT_TRUE(retryAnswering(10000, 200, [&] { return answered == 1; }));
  ASSERT_EQ(WaitForSingleObject(sender.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(result, 42);

  // A mutex another thread frees is taken by the wait, and owned once.
  const rt::win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, nullptr));
  const rt::win32::UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  auto holdAWhile = [&] {
    WaitForSingleObject(mutex.get(), INFINITE);
    SetEvent(held.get());
    Sleep(200);
    ReleaseMutex(mutex.get());
  };
  const rt::win32::UniqueHandle holder = onAnotherThread(holdAWhile);
  WaitForSingleObject(held.get(), 10000);
  const auto tryMutex = [&] { return WaitForSingleObject(mutex.get(), 0) == WAIT_OBJECT_0; };
  EXPECT_TRUE(retryAnswering(10000, 10000, tryMutex, mutex.get()));
  EXPECT_TRUE(ReleaseMutex(mutex.get()));
  EXPECT_FALSE(ReleaseMutex(mutex.get()));
  WaitForSingleObject(holder.get(), 10000);

  // What never succeeds is tried more than once and given up at the deadline.
  int tries = 0;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(retryAnswering(300, 50, [&] { return ++tries, false; }));
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_GT(tries, 1);
}

// Another program's WM_CLOSE is sent, and runs inside GetMessageW, which
// returns only for a posted message: the idle loop ends all the same, at
// once, with nothing posted by the sender.
TEST(Win32Window, AWmCloseSentFromAnotherThreadEndsTheIdleLoopAtOnce) {
  rt::win32::Win32WindowSystem windows(GetModuleHandleW(nullptr), 1, rt::win32::Level::Windows10);
  auto& window = dynamic_cast<rt::win32::Win32Window&>(windows.createWindow(conv::form1Layout()));
  window.onClose([&] { windows.endProgram(); });
  window.show();
  // No caret: Wine blinks it with a timer, whose message would wake the loop.
  SetFocus(GetDlgItem(window.handle(), 102));
  const DWORD loopThread = GetCurrentThreadId();
  const rt::win32::UniqueHandle returned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  DWORD sending = 0;
  auto closer = [&] {
    Sleep(300);  // the loop idles in GetMessageW by then
    sending = GetTickCount();
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    // A loop that goes on waiting is ended, so that the test fails rather than hangs.
    if (WaitForSingleObject(returned.get(), 3000) != WAIT_OBJECT_0) PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
  };
  const rt::win32::UniqueHandle thread = onAnotherThread(closer);
  windows.runEventLoop();
  const DWORD returnedAt = GetTickCount();
  SetEvent(returned.get());
  WaitForSingleObject(thread.get(), 10000);
  EXPECT_TRUE(windows.endAsked());
  EXPECT_LT(returnedAt - sending, 1000u);
}

// A real pipe: a read waits until the writer writes, an empty message is
// no end, a cancelled read leaves the file to read on, and the writer's
// end in the middle of a line ends the file after the bytes it wrote.
TEST(Win32Files, APipeReadWaitsGoesOnPastAnEmptyMessageCancelsAndEndsWhereItsWriterGoes) {
  const std::wstring name = L"\\\\.\\pipe\\mactools-test-" + std::to_wstring(GetCurrentProcessId());
  rt::win32::UniqueFile server(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE | PIPE_WAIT,
                                                1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(server);
  rt::win32::Win32FileSystem fs;
  const auto file = fs.open(std::u16string(name.begin(), name.end()), rt::OpenMode::Input);
  EXPECT_FALSE(file->canSeek());
  EXPECT_EQ(fs.sizeOf(std::u16string(name.begin(), name.end())), 0u);  // never sized: that would connect
  const auto put = [&](std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(server.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  };
  // Waits for the read's signal whenever it is pending, as a lookup does.
  char buffer[64];
  const auto readOn = [&] {
    std::size_t got;
    while ((got = file->read(buffer, sizeof buffer)) == rt::File::kPending) {
      auto* signal = dynamic_cast<rt::win32::EventSignal*>(file->readSignal());
      if (!signal || WaitForSingleObject(signal->event, 10000) != WAIT_OBJECT_0) return std::string("timed out");
    }
    return std::string(buffer, got);
  };
  EXPECT_EQ(file->read(buffer, sizeof buffer), rt::File::kPending);
  EXPECT_NE(file->readSignal(), nullptr);
  ASSERT_TRUE(put("ab"));
  EXPECT_EQ(readOn(), "ab");
  ASSERT_TRUE(put(""));
  ASSERT_TRUE(put("cd\r\nef"));
  EXPECT_EQ(readOn(), "cd\r\nef");
  EXPECT_EQ(file->read(buffer, sizeof buffer), rt::File::kPending);
  EXPECT_TRUE(file->cancelRead());
  EXPECT_EQ(file->readSignal(), nullptr);
  ASSERT_TRUE(put("gh"));
  EXPECT_EQ(readOn(), "gh");
  server.reset();
  EXPECT_EQ(readOn(), "");
}

// Wine checks no access right, so the rights Windows grants the log's
// handle are asked of Windows itself: locking the turn's byte needs read or
// write data access, cutting a failed append back needs write data access,
// reading the last byte read data access. The appends still land at the end.
TEST(Win32Files, AnAppendHandleMayLockItsTurnCutAFailedAppendAndReadItsLastByte) {
  wchar_t folder[MAX_PATH], name[MAX_PATH];
  ASSERT_TRUE(GetTempPathW(MAX_PATH, folder));
  ASSERT_TRUE(GetTempFileNameW(folder, L"mac", 0, name));
  {
    const rt::win32::UniqueFile raw(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(raw.get(), "cut short", 9, &written, nullptr));
  }
  rt::win32::Win32FileSystem files;
  const std::wstring path(name);
  auto file = files.open(std::u16string(path.begin(), path.end()), rt::OpenMode::Append);
  const HANDLE handle = rt::win32::nativeHandle(*file);

  using Query = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  ASSERT_NE(query, nullptr);
  PUBLIC_OBJECT_BASIC_INFORMATION basic{};
  ASSERT_EQ(query(handle, ObjectBasicInformation, &basic, sizeof basic, nullptr), 0);
  const ACCESS_MASK needed = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA;
  EXPECT_EQ(basic.GrantedAccess & needed, needed) << std::hex << basic.GrantedAccess;

  // The turn held keeps another copy's lock off; given back, it is free.
  rt::win32::UniqueFile other(
      CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  const auto otherLocks = [&] {
    OVERLAPPED at = rt::win32::appendTurnAt();
    if (!LockFileEx(other.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return false;
    at = rt::win32::appendTurnAt();
    UnlockFileEx(other.get(), 0, 1, 0, &at);
    return true;
  };
  file->beginAppend();
  EXPECT_FALSE(otherLocks());
  file->endAppend();
  EXPECT_TRUE(otherLocks());

  // Lines start on a line of their own and land at the end; a cut takes
  // the file back.
  rt::appendLines(*file, "x\r\n");
  file->seek(0);
  char back[32] = {};
  EXPECT_EQ(std::string(back, file->read(back, sizeof back)), "cut short\r\nx\r\n");
  file->truncate(9);
  EXPECT_EQ(file->size(), 9u);
  file.reset();
  other.reset();
  EXPECT_TRUE(DeleteFileW(name));
}

// A stand-in for the shell's taskbar list (Wine's shows nothing): it logs
// what the window's part shows on it, and its own release.
class LoggingTaskbarList : public ITaskbarList3 {
 public:
  explicit LoggingTaskbarList(std::vector<std::string>& log) : log_(log) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (--references_ != 0) return references_;
    log_.push_back("released");
    delete this;
    return 0;
  }
  HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override {
    log_.push_back("value " + std::to_string(done) + "/" + std::to_string(total));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override {
    log_.push_back("state " + std::to_string(state));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

 private:
  std::vector<std::string>& log_;
  ULONG references_ = 1;
};

// Explorer restarts: the shell makes the window's button anew and says so.
// Progress showing then shows again on a list made anew; before any
// progress, the message loads nothing.
TEST(Win32Taskbar, AButtonMadeAnewShowsTheProgressAgainAndBeforeAnyProgressLoadsNothing) {
  std::vector<std::string> log;
  int made = 0;
  rt::win32::Win32WindowSystem windows(GetModuleHandleW(nullptr), 1, rt::win32::Level::Windows10, [&] {
    ++made;
    return new LoggingTaskbarList(log);
  });
  auto& window = dynamic_cast<rt::win32::Win32Window&>(windows.createWindow(conv::form1Layout()));
  window.show();
  const UINT buttonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
  ASSERT_NE(buttonCreated, 0u);
  SendMessageW(window.handle(), buttonCreated, 0, 0);
  EXPECT_EQ(made, 0);
  windows.showProgress(25, 100);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"state 2", "value 25/100"}));
  log.clear();
  SendMessageW(window.handle(), buttonCreated, 0, 0);
  EXPECT_EQ(made, 2);
  EXPECT_EQ(log, (std::vector<std::string>{"released", "state 2", "value 25/100"}));
  // Progress taken away: a button made anew shows none.
  windows.showProgress(0, 0);
  log.clear();
  SendMessageW(window.handle(), buttonCreated, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"released"}));
  EXPECT_EQ(made, 2);
}

}  // namespace
