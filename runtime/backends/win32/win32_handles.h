#pragma once
// One owner for every kind of Windows handle, in the manner of unique_any:
// the handle type, its close function, and the value that means "none".
#include <windows.h>

#include <utility>

namespace rt::win32 {

template <typename T>
constexpr T noHandle() {
  return T{};
}

template <typename T, auto Close, T (*None)() = noHandle<T>>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T handle) : handle_(handle) {}
  ~Unique() { reset(); }
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != None(); }
  // Ownership passes to the caller (or to the system).
  T release() { return std::exchange(handle_, None()); }
  // Closes the handle held, if any, and holds the new one.
  void reset(T handle = None()) {
    const T old = std::exchange(handle_, handle);
    if (old != None()) Close(old);
  }

 private:
  T handle_ = None();
};

inline HANDLE invalidHandle() { return INVALID_HANDLE_VALUE; }
inline void deleteFont(HFONT font) { DeleteObject(font); }
inline void unlockGlobal(HGLOBAL memory) { GlobalUnlock(memory); }
inline void releaseMutex(HANDLE mutex) { ReleaseMutex(mutex); }

using UniqueHandle = Unique<HANDLE, &CloseHandle>;                  // processes, threads
using UniqueFile = Unique<HANDLE, &CloseHandle, &invalidHandle>;    // CreateFileW
using FindHandle = Unique<HANDLE, &FindClose, &invalidHandle>;      // FindFirstFileW
using UniqueWindow = Unique<HWND, &DestroyWindow>;
using UniqueFont = Unique<HFONT, &deleteFont>;
using UniqueGlobal = Unique<HGLOBAL, &GlobalFree>;                  // release() once the clipboard owns it
using GlobalUnlocker = Unique<HGLOBAL, &unlockGlobal>;              // holds a locked block until unlocked
using UniqueModule = Unique<HMODULE, &FreeLibrary>;
using HeldTurn = Unique<HANDLE, &releaseMutex>;                     // a mutex this thread owns, released at the end

}  // namespace rt::win32
