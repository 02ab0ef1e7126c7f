#pragma once
// The in-memory window system: a window whose fields hold text and raise
// their change events, and an event loop that runs the user's actions.
// Tests and tools act as the user through the user_ calls.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
  void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }

  std::size_t selStart() const { return selStart_; }
  std::size_t selLength() const { return selLength_; }
  bool readOnly() const { return readOnly_; }
  // What the user does: the typed or pasted text replaces the selection,
  // unless the field is read-only.
  void userReplaceSelection(std::u16string_view text);

 private:
  friend class MemoryWindow;
  MemoryWindow& window_;
  std::u16string name_;
  std::u16string text_;
  std::size_t selStart_ = 0, selLength_ = 0;
  bool readOnly_ = false;
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
  void onSessionEnd(std::function<void()> handler) override { onSessionEnd_ = std::move(handler); }

  MemoryTextField& memoryField(std::u16string_view name);
  bool visible() const { return visible_; }
  const std::u16string& focus() const { return focus_; }
  const FormLayout& layout() const { return layout_; }
  void userClick(std::u16string_view button);
  void userCloseBox();
  // The session ends, at the moment of the call: nested in whatever the
  // program is doing, as Windows' sent message lands in a wait.
  void systemEndsSession();

 private:
  friend class MemoryTextField;
  FormLayout layout_;
  std::map<std::u16string, MemoryTextField, std::less<>> fields_;
  std::map<std::u16string, std::function<void()>, std::less<>> clicks_;
  std::function<void()> onClose_, onSessionEnd_;
  std::u16string focus_;
  bool visible_ = false;
};

class MemoryWindowSystem : public WindowSystem {
 public:
  Window& createWindow(const FormLayout& layout) override;
  void runEventLoop() override;
  void endProgram() override { ended_ = true; }
  // Runs the user's actions queued so far, as the loop does.
  void doEvents() override;
  bool endAsked() const override { return ended_; }
  // Calls onWait_, which stands for the time passing: it may release the
  // read, move the clock on, or queue the user's actions.
  void waitFor(Signal& signal, unsigned ms) override;
  void showProgress(std::uint64_t done, std::uint64_t total) override { progress_.push_back({done, total}); }
  // Throws ProcessEnded (runtime/program.h) with the code, kept in endedWith_.
  [[noreturn]] void endProcessNow(int exitCode) override;

  MemoryWindow& window() { return *window_; }

  std::deque<std::function<void()>> userActions_;  // run by the event loop and doEvents, in order
  bool ended_ = false;
  bool loopRan_ = false;
  std::function<void()> onEvents_;  // called at each doEvents, before the actions run
  std::function<void(Signal&, unsigned ms)> onWait_;  // called at each waitFor
  std::optional<int> endedWith_;  // the code endProcessNow was called with
  // Called by endProcessNow before it throws: a test sees there what a
  // process ended at once leaves, before any cleanup on the way out runs.
  std::function<void()> atProcessEnd_;
  std::size_t eventsDone_ = 0;  // doEvents calls
  struct Progress {
    std::uint64_t done, total;
  };
  std::vector<Progress> progress_;  // every progress shown, in order

 private:
  std::optional<MemoryWindow> window_;
};

}  // namespace rt
