// The Windows backend's window in this process: a change of DPI, as Windows
// sends it when the window moves to a monitor of another DPI, lays the
// window out again exactly at the new DPI and loses nothing the user had.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "converter/form1.h"
#include "win32_dpi.h"
#include "win32_services.h"
#include "win32_window.h"

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
  rt::win32::Win32Services services(GetModuleHandleW(nullptr), u"Veltrane", 1);
  const rt::FormLayout layout = conv::form1Layout();
  auto& window = dynamic_cast<rt::win32::Win32Window&>(services.createWindow(layout));
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

}  // namespace
