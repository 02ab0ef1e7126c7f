// The Windows backend in this process: a change of DPI, as Windows sends it
// when the window moves to a monitor of another DPI, lays the window out
// again exactly at the new DPI and loses nothing the user had; and the one
// wait keeps answering what other threads send.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "converter/form1.h"
#include "win32_dpi.h"
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

}  // namespace
