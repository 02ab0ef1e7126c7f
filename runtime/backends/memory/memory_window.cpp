#include "memory_window.h"

#include <algorithm>

#include "runtime/program.h"

namespace rt {

void MemoryTextField::setText(std::u16string_view text) {
  text_ = text;
  selStart_ = std::min(selStart_, text_.size());
  selLength_ = 0;
  if (onChange_) onChange_();
}

void MemoryTextField::setFocus() {
  if (!window_.visible_) throw Error(err::InvalidProcedureCall);
  window_.focus_ = name_;
}

void MemoryTextField::setSelStart(std::size_t start) {
  selStart_ = std::min(start, text_.size());
  selLength_ = 0;
}

void MemoryTextField::setSelLength(std::size_t length) { selLength_ = std::min(length, text_.size() - selStart_); }

void MemoryTextField::userReplaceSelection(std::u16string_view text) {
  if (readOnly_) return;
  text_.replace(selStart_, selLength_, text);
  selStart_ += text.size();
  selLength_ = 0;
  if (onChange_) onChange_();
}

MemoryWindow::MemoryWindow(const FormLayout& layout) : layout_(layout) {
  for (const ControlLayout& control : layout.controls)
    if (control.kind == ControlKind::TextField) fields_.try_emplace(control.name, *this, control.name);
  if (!layout.controls.empty()) focus_ = layout.controls.front().name;
}

MemoryTextField& MemoryWindow::memoryField(std::u16string_view name) {
  const auto it = fields_.find(name);
  if (it == fields_.end()) throw Error(err::InvalidProcedureCall);
  return it->second;
}

void MemoryWindow::onChange(std::u16string_view field, std::function<void()> handler) {
  memoryField(field).onChange_ = std::move(handler);
}

void MemoryWindow::onClick(std::u16string_view button, std::function<void()> handler) {
  clicks_[std::u16string(button)] = std::move(handler);
}

void MemoryWindow::userClick(std::u16string_view button) {
  const auto it = clicks_.find(button);
  if (it != clicks_.end() && it->second) it->second();
}

void MemoryWindow::userCloseBox() {
  if (onClose_) onClose_();
}

void MemoryWindow::systemEndsSession() {
  if (onSessionEnd_) onSessionEnd_();
}

void MemoryWindowSystem::endProcessNow(int exitCode) {
  endedWith_ = exitCode;
  if (atProcessEnd_) atProcessEnd_();
  throw ProcessEnded{exitCode};
}

Window& MemoryWindowSystem::createWindow(const FormLayout& layout) { return window_.emplace(layout); }

void MemoryWindowSystem::runEventLoop() {
  loopRan_ = true;
  doEvents();
}

void MemoryWindowSystem::waitFor(Signal& signal, unsigned ms) {
  if (!onWait_) throw Error(err::InternalError);  // nothing would ever end the wait
  onWait_(signal, ms);
}

void MemoryWindowSystem::doEvents() {
  ++eventsDone_;
  if (onEvents_) onEvents_();
  while (!ended_ && !userActions_.empty()) {
    auto action = std::move(userActions_.front());
    userActions_.pop_front();
    action();
  }
}

}  // namespace rt
