#pragma once
// Form1's window: a fixed frame with text fields and buttons laid out in
// twips at the window's DPI.
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/services.h"
#include "win32_handles.h"

namespace rt {

inline const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::u16string fromWide(const wchar_t* text, std::size_t size) {
  return {reinterpret_cast<const char16_t*>(text), size};
}

class Win32Window;

class Win32TextField : public TextField {
 public:
  Win32TextField(Win32Window& window, HWND edit) : window_(window), edit_(edit) {}
  std::u16string text() const override;
  void setText(std::u16string_view text) override;
  void setFocus() override;
  void setSelStart(std::size_t start) override;
  void setSelLength(std::size_t length) override;
  std::u16string selText() const override;

 private:
  friend class Win32Window;
  Win32Window& window_;
  HWND edit_;
  std::function<void()> onChange_;
  bool settingText_ = false;
};

class Win32Window : public Window {
 public:
  Win32Window(HINSTANCE instance, const FormLayout& layout, int iconId);

  TextField& field(std::u16string_view name) override;
  void show() override;
  void onChange(std::u16string_view field, std::function<void()> handler) override;
  void onClick(std::u16string_view button, std::function<void()> handler) override;
  void onClose(std::function<void()> handler) override { onClose_ = std::move(handler); }

  HWND handle() const { return hwnd_.get(); }
  // Runs one message through the window; an exception thrown by an event
  // procedure comes out here, after Windows has finished with the message.
  void dispatch(MSG& msg);

 private:
  struct Control {
    ControlLayout layout;
    HWND hwnd = nullptr;
    std::unique_ptr<Win32TextField> field;
    std::function<void()> onClick;
  };

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void command(WORD id, WORD code);
  void applyDpi(UINT dpi);
  Control& control(std::u16string_view name);
  void run(const std::function<void()>& procedure);
  void rethrowPending();

  FormLayout layout_;
  std::vector<Control> controls_;
  std::function<void()> onClose_;
  win32::UniqueFont font_;
  win32::UniqueWindow hwnd_;
  std::exception_ptr pending_;
  UINT dpi_ = 96;
};

}  // namespace rt
