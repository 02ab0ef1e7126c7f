#include "win32_wait.h"

namespace rt::win32 {
namespace {

// The tick count by which every wait ends, once hurried; the one thread
// sets and reads it.
bool hurried = false;
DWORD hurryUntil = 0;

}  // namespace

void hurryWaits(DWORD ms) {
  hurried = true;
  hurryUntil = GetTickCount() + ms;
}

DWORD waitAllowance(DWORD totalMs) {
  if (!hurried) return totalMs;
  const DWORD left = hurryUntil - GetTickCount();
  return left > 0x7FFFFFFF ? 0 : left < totalMs ? left : totalMs;  // past the deadline: one try
}

bool pauseAnswering(DWORD ms, HANDLE wake) {
  const DWORD start = GetTickCount();
  const DWORD handles = wake ? 1 : 0;
  for (;;) {
    const DWORD passed = GetTickCount() - start;
    const DWORD left = passed < ms ? ms - passed : 0;
    const DWORD got = MsgWaitForMultipleObjectsEx(handles, wake ? &wake : nullptr, left, QS_SENDMESSAGE, 0);
    if (wake && (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED_0)) return true;
    if (got != WAIT_OBJECT_0 + handles) return false;  // time up, or failed
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers what was sent
    if (left == 0) return false;
  }
}

}  // namespace rt::win32
