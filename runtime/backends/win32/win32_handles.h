#pragma once
// Owners for the Windows handles the backend uses.
#include <windows.h>

#include <utility>

namespace rt::win32 {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void reset() {
    if (h_) CloseHandle(std::exchange(h_, nullptr));
  }

 private:
  HANDLE h_ = nullptr;
};

// Global memory for the clipboard; release() once the clipboard owns it.
class GlobalMemory {
 public:
  explicit GlobalMemory(SIZE_T bytes) : h_(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  ~GlobalMemory() {
    if (h_) GlobalFree(h_);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL get() const { return h_; }
  HGLOBAL release() { return std::exchange(h_, nullptr); }

 private:
  HGLOBAL h_;
};

class GlobalLock {
 public:
  explicit GlobalLock(HGLOBAL h) : h_(h), p_(::GlobalLock(h)) {}
  ~GlobalLock() {
    if (p_) GlobalUnlock(h_);
  }
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  void* get() const { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

// An open clipboard; closed when it goes out of scope.
class ClipboardSession {
 public:
  ClipboardSession() = default;
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool open(HWND owner) { return open_ = OpenClipboard(owner) != FALSE; }

 private:
  bool open_ = false;
};

class UniqueWindow {
 public:
  UniqueWindow() = default;
  explicit UniqueWindow(HWND h) : h_(h) {}
  ~UniqueWindow() {
    if (h_) DestroyWindow(h_);
  }
  UniqueWindow(const UniqueWindow&) = delete;
  UniqueWindow& operator=(const UniqueWindow&) = delete;
  HWND get() const { return h_; }
  void adopt(HWND h) { h_ = h; }

 private:
  HWND h_ = nullptr;
};

class UniqueFont {
 public:
  UniqueFont() = default;
  ~UniqueFont() { reset(nullptr); }
  UniqueFont(const UniqueFont&) = delete;
  UniqueFont& operator=(const UniqueFont&) = delete;
  HFONT get() const { return h_; }
  void reset(HFONT h) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  HFONT h_ = nullptr;
};

}  // namespace rt::win32
