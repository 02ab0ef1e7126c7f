#include "win32_clipboard.h"

#include <cstring>
#include <iterator>

#include "runtime/clipboard_formats.h"
#include "win32_error.h"
#include "win32_text.h"
#include "win32_turns.h"
#include "win32_wait.h"
#include "win32_window_system.h"

namespace rt::win32 {
namespace {

static_assert(std::size(kPassOverFormats) == 3);

// The name of the i-th format beside a passing text: the programs' own,
// then the pass-over ones.
std::u16string passingFormatName(std::size_t i) {
  return std::u16string(i == 0 ? kOwnPassingFormat : kPassOverFormats[i - 1]);
}

// The turn is only a courtesy among these programs: a lookup sets the
// clipboard once per match, a few times in a millisecond, and a copy that
// found it taken and waited would find it taken again at each try while the
// others keep taking it in between. When the turn cannot be had, the
// clipboard is tried all the same.
constexpr DWORD kTurnWaitMs = 5000;

// Another program may hold the clipboard for a moment; wait up to about a
// second before giving up.
constexpr DWORD kHeldWaitMs = 1000, kHeldPauseMs = 50;

// The clipboard open for this thread until the session ends.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    if (!retryAnswering(kHeldWaitMs, kHeldPauseMs, [owner] { return OpenClipboard(owner) != FALSE; }))
      throw lastErrorAs(u"OpenClipboard", err::CantOpenClipboard);
  }
  ~ClipboardSession() { CloseClipboard(); }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
};

// Movable global memory, as the clipboard takes it, holding a copy of size
// bytes followed by zeros bytes of zero.
UniqueGlobal globalCopy(const void* data, std::size_t size, std::size_t zeros = 0) {
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size + zeros));
  if (!memory) throw lastError(u"GlobalAlloc", err::OutOfMemory);
  void* target = GlobalLock(memory.get());
  if (!target) throw lastError(u"GlobalLock", err::OutOfMemory);
  const GlobalUnlocker unlock(memory.get());
  std::memcpy(target, data, size);
  std::memset(static_cast<char*>(target) + size, 0, zeros);
  return memory;
}

}  // namespace

void Win32Clipboard::setText(std::u16string_view text, Entry entry) {
  UniqueGlobal memory = globalCopy(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
  // Registered once: a lookup sets one passing text per match.
  for (std::size_t i = 0; entry == Entry::Passing && i < std::size(passingFormats_); ++i)
    if (!passingFormats_[i] && !(passingFormats_[i] = RegisterClipboardFormatW(wide(passingFormatName(i)))))
      throw lastError(u"RegisterClipboardFormatW", err::CantOpenClipboard);
  // Released after the clipboard is closed: declared before the session.
  const HeldTurn turn = takeTurn();
  const ClipboardSession session(windows_.owner());
  // The final text replaces all the clipboard holds, markers of passing
  // texts included, in one session, so that listeners see one change. So
  // does a passing one, unless the clipboard still holds a passing text of
  // these programs (their own format is there): then it replaces only the
  // text. What another program copied meanwhile (text and HTML, say, or a
  // password manager's secret with the first pass-over marker) emptied the
  // clipboard of that format, and so never stands beside a report. Under
  // Wine neither the clipboard's owner nor its sequence number stays as
  // this program left it (its clipboard manager takes the content over
  // after each change), and emptying the clipboard at every match makes
  // that manager take the X selection anew each time.
  const bool ours = entry == Entry::Passing && IsClipboardFormatAvailable(passingFormats_[0]);
  if (!ours && !EmptyClipboard()) throw lastError(u"EmptyClipboard", err::CantOpenClipboard);
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw lastError(u"SetClipboardData", err::CantOpenClipboard);
  memory.release();  // the clipboard owns it now
  // The markers stay with a text replaced alone: a match then costs the
  // text's set only.
  for (std::size_t i = 0; entry == Entry::Passing && !ours && i < std::size(passingFormats_); ++i) {
    UniqueGlobal marker = globalCopy(&kPassOverValue, sizeof kPassOverValue);
    if (!SetClipboardData(passingFormats_[i], marker.get()))
      throw lastError(u"SetClipboardData", err::CantOpenClipboard);
    marker.release();
  }
}

HeldTurn Win32Clipboard::takeTurn() {
  if (!turn_) {
    // A name held by another kind of object, or no name space: no turns.
    turn_.reset(CreateMutexW(nullptr, FALSE, kClipboardTurn));
    if (!turn_) return HeldTurn();
  }
  const HANDLE mutex = turn_.get();
  const auto owned = [mutex] {
    const DWORD got = WaitForSingleObject(mutex, 0);
    return got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
  };
  return retryAnswering(kTurnWaitMs, kTurnWaitMs, owned, mutex) ? HeldTurn(mutex) : HeldTurn();
}

}  // namespace rt::win32
