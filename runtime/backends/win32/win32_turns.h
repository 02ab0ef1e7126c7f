#pragma once
// How copies of these programs take turns, and the value of the formats
// that a passing text carries (runtime/clipboard_formats.h): every copy,
// and anything that times the programs' calls, must use the same names
// and places.
#include <windows.h>

namespace rt::win32 {

// Copies take turns at the clipboard through this named mutex, held from
// before OpenClipboard until after CloseClipboard.
inline constexpr wchar_t kClipboardTurn[] = L"Local\\MacAddressTools.ClipboardTurn";

// What each format beside a passing text holds.
inline constexpr DWORD kPassOverValue = 0;

// Copies appending to one file take turns by locking one byte here, far
// past any real end of file, for the time of one write.
inline OVERLAPPED appendTurnAt() {
  OVERLAPPED at{};
  at.Offset = 0xFFFFFFFE;
  at.OffsetHigh = 0x7FFFFFFF;
  return at;
}

}  // namespace rt::win32
