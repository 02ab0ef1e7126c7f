#pragma once
// The one way this program waits: it tries something until it succeeds or a
// deadline passes, and between tries answers the messages that other
// threads send to this one. The window thread so never stops answering
// while it waits, and must not: the clipboard's owner gets
// WM_DESTROYCLIPBOARD, sent and waited for, when another program empties
// the clipboard, and that program may be the very one this thread waits
// for; Windows asks a window (WM_NULL) before it calls it "Not Responding";
// and the end of the session (WM_QUERYENDSESSION, WM_ENDSESSION) is sent,
// with only a few seconds to answer. So the window procedure runs inside a
// wait for sent messages, and with it the session-end handler, which ends
// the process there. Posted messages (clicks, typing, a field's change)
// stay queued for the event loop: no other event procedure runs inside.
#include <windows.h>

#include "runtime/file_system.h"

namespace rt::win32 {

// What Windows signals for this backend (a read's completion): an event.
struct EventSignal : Signal {
  HANDLE event = nullptr;
};

// Waits up to ms milliseconds, or until wake (when not null) is signalled or
// abandoned, answering sent messages meanwhile. True when wake ended the
// wait: a mutex is then owned by this thread.
bool pauseAnswering(DWORD ms, HANDLE wake = nullptr);

// From now on every wait, however long it was to be, ends within ms of
// this call: the end of the session leaves the program only a few seconds.
void hurryWaits(DWORD ms);
// How long a wait of totalMs that starts now may take.
DWORD waitAllowance(DWORD totalMs);

// Calls attempt() until it returns true, for up to totalMs; attempt() runs
// at least once. Between tries it pauses up to pauseMs (less when the
// deadline is nearer). A wake handle, when given, is waited on in the pauses
// and its signal counts as success: for a mutex, attempt() tries it without
// waiting and the pauses take it as soon as it is free. Returns whether it
// succeeded.
template <typename Attempt>
bool retryAnswering(DWORD totalMs, DWORD pauseMs, Attempt&& attempt, HANDLE wake = nullptr) {
  totalMs = waitAllowance(totalMs);
  const DWORD start = GetTickCount();
  for (;;) {
    if (attempt()) return true;
    const DWORD passed = GetTickCount() - start;  // wraps correctly past 49 days
    if (passed >= totalMs) return false;
    if (pauseAnswering(totalMs - passed < pauseMs ? totalMs - passed : pauseMs, wake)) return true;
  }
}

}  // namespace rt::win32
