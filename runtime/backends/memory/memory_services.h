#pragma once
// The in-memory backend: a window whose fields hold text and raise their
// change events, a clipboard that holds text, a list of started processes,
// a settable clock, environment and command line. Files are real files under
// a root folder. Tests and tools act as the user through the user_ calls.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rooted_file_system.h"
#include "runtime/services.h"

namespace rt {

class MemoryWindow;

class MemoryTextField : public TextField {
 public:
  MemoryTextField(MemoryWindow& window, std::u16string name) : window_(window), name_(std::move(name)) {}

  std::u16string text() const override { return text_; }
  void setText(std::u16string_view text) override;
  void setFocus() override;
  void setSelStart(std::size_t start) override;
  void setSelLength(std::size_t length) override;
  std::u16string selText() const override { return text_.substr(selStart_, selLength_); }

  std::size_t selStart() const { return selStart_; }
  std::size_t selLength() const { return selLength_; }
  // What the user does: the typed or pasted text replaces the selection.
  void userReplaceSelection(std::u16string_view text);

 private:
  friend class MemoryWindow;
  MemoryWindow& window_;
  std::u16string name_;
  std::u16string text_;
  std::size_t selStart_ = 0, selLength_ = 0;
  std::function<void()> onChange_;
};

class MemoryWindow : public Window {
 public:
  explicit MemoryWindow(const FormLayout& layout);

  TextField& field(std::u16string_view name) override { return memoryField(name); }
  void show() override { visible_ = true; }
  void onChange(std::u16string_view field, std::function<void()> handler) override;
  void onClick(std::u16string_view button, std::function<void()> handler) override;
  void onClose(std::function<void()> handler) override { onClose_ = std::move(handler); }

  MemoryTextField& memoryField(std::u16string_view name);
  bool visible() const { return visible_; }
  const std::u16string& focus() const { return focus_; }
  const FormLayout& layout() const { return layout_; }
  void userClick(std::u16string_view button);
  void userCloseBox();

 private:
  friend class MemoryTextField;
  FormLayout layout_;
  std::map<std::u16string, MemoryTextField, std::less<>> fields_;
  std::map<std::u16string, std::function<void()>, std::less<>> clicks_;
  std::function<void()> onClose_;
  std::u16string focus_;
  bool visible_ = false;
};

class MemoryServices : public Services {
 public:
  explicit MemoryServices(FileSystem& fs) : Services(fs) {}

  Window& createWindow(const FormLayout& layout) override;
  void runEventLoop() override;
  void endProgram() override { ended_ = true; }
  std::u16string commandLine() override { return commandLine_; }
  std::u16string environment(std::u16string_view name) override;
  void clipboardSetText(std::u16string_view text, ClipboardEntry entry) override;
  void startProcess(std::u16string_view path, WindowStyle style) override;
  DateTime now() override { return clock_; }
  std::u16string formatDate(const DateTime& when) override;  // dd.mm.yyyy
  std::u16string formatTime(const DateTime& when) override;  // hh:mm:ss
  void reportError(const Error& error) override { reported_.push_back(error); }

  // Set-up by tests.
  std::u16string commandLine_;
  std::map<std::u16string, std::u16string, std::less<>> environment_;  // names as typed; look-up ignores case
  DateTime clock_{2026, 12, 7, 9, 30, 5};
  bool clipboardHeldByOther_ = false;
  std::deque<std::function<void()>> userActions_;  // run by the event loop, in order

  // What the programs left.
  struct Started {
    std::u16string path;
    WindowStyle style;
  };
  std::optional<std::u16string> clipboard_;  // nullopt: empty clipboard
  struct ClipboardChange {
    std::u16string text;
    ClipboardEntry entry;
  };
  std::vector<ClipboardChange> clipboardHistory_;  // every text set, in order
  std::vector<Started> started_;
  std::vector<Error> reported_;
  bool ended_ = false;
  bool loopRan_ = false;

  MemoryWindow& window() { return *window_; }

 private:
  std::optional<MemoryWindow> window_;
};

}  // namespace rt
