#pragma once
// Form1's window: a fixed frame with text fields and buttons laid out in
// twips at the window's DPI.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/services.h"
#include "win32_dpi.h"
#include "win32_handles.h"

namespace rt::win32 {

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
  void setReadOnly(bool readOnly) override;

 private:
  friend class Win32Window;
  Win32Window& window_;
  HWND edit_;
  std::function<void()> onChange_;
  bool settingText_ = false;
};

class Win32Window : public Window {
 public:
  Win32Window(HINSTANCE instance, const FormLayout& layout, int iconId, const Dpi& dpi);

  TextField& field(std::u16string_view name) override;
  void show() override;
  void onChange(std::u16string_view field, std::function<void()> handler) override;
  void onClick(std::u16string_view button, std::function<void()> handler) override;
  void onClose(std::function<void()> handler) override { onClose_ = std::move(handler); }
  void onSessionEnd(std::function<void()> handler) override { onSessionEnd_ = std::move(handler); }
  // While an error report is up, the end of the session ends the process
  // with the report's number: the program's work is already left whole.
  void endSessionWith(int exitCode) { reportedExitCode_ = exitCode; }
  // The shell made the window's taskbar button (at the first show, and
  // again after Explorer restarts).
  void onTaskbarButtonCreated(std::function<void()> handler) { onTaskbarButton_ = std::move(handler); }

  HWND handle() const { return hwnd_.get(); }
  // Whether the focus waits for the user to activate the window: its
  // starter showed it hidden, minimised or inactive. Setting the focus
  // then only says where it goes (setting it would activate the window,
  // or fail on a hidden one).
  bool focusWaits() const { return focusWaits_; }
  // The control that is to have the focus whenever the window takes it.
  void focusLater(HWND control) { focusTarget_ = control; }
  // Runs one message through the window; an exception thrown by an event
  // procedure comes out here, after Windows has finished with the message.
  void dispatch(MSG& msg);

 private:
  struct Control {
    ControlLayout layout;
    HWND hwnd = nullptr;  // a child: destroyed with the window
    std::unique_ptr<Win32TextField> field;
    std::function<void()> onClick;
  };

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void createControls(HINSTANCE instance);
  void command(WORD id, WORD code);
  void applyDpi(UINT dpi);
  void sizeClientArea(int width, int height, UINT dpi);
  Control& control(std::u16string_view name);
  void run(const std::function<void()>& procedure);
  void rethrowPending();
  // Gives the focus to the control that is to have it, once the window is
  // active and not minimised.
  void focusIfActive();

  FormLayout layout_;
  const Dpi& dpi_;
  std::vector<Control> controls_;
  std::function<void()> onClose_, onSessionEnd_, onTaskbarButton_;
  UINT taskbarButtonCreated_ = 0;  // the shell's registered message
  int reportedExitCode_ = -1;  // none
  bool shown_ = false, focusWaits_ = false;
  HWND focusTarget_ = nullptr;  // the control that has, or is to have, the focus
  UniqueFont font_;
  UniqueWindow hwnd_;
  std::exception_ptr pending_;
};

}  // namespace rt::win32
