#include "converter/form1.h"

#include "runtime/program.h"

namespace conv {

rt::FormLayout form1Layout() {
  using rt::ControlKind;
  return {u"Veltrane",
          4560,
          1710,
          {{ControlKind::TextField, u"Text1", u"", {240, 240, 4095, 375}, u"Address"},
           {ControlKind::TextField, u"Text2", u"", {240, 840, 4095, 375}, u"Converted address"},
           {ControlKind::Button, u"Command1", u"Close", {240, 1440, 4095, 255}}}};
}

Form1::Form1(const rt::Services& services, StartBranch branch)
    : rt_(services),
      window_(services.windows.createWindow(form1Layout())),
      text1_(window_.field(u"Text1")),
      text2_(window_.field(u"Text2")),
      branch_(std::move(branch)),
      scriptFile_(services.files, services.invocation.processId()) {
  window_.onChange(u"Text1", [this] { Text1_Change(); });
  window_.onClick(u"Command1", [this] { Command1_Click(); });
  // The close box ends the program as Close does, rather than leaving a
  // program without a window behind.
  window_.onClose([this] { Command1_Click(); });
  window_.onSessionEnd([this] { Form_SessionEnd(); });
}

void Form1::Form_Load() {
  window_.show();
  const std::u16string commandLine = rt_.invocation.commandLine();
  if (commandLine.empty()) {
    rt_.windows.runEventLoop();
    return;
  }
  if (branch_ && branch_(*this, commandLine)) return;
  text1_.setText(commandLine);
}

void Form1::Text1_Change() {
  // A change that still reaches the field during a lookup (another program
  // setting its text) is refused.
  if (busy_) return;
  text2_.setText(hexconvert(text1_.text()));
  text2_.setFocus();
  text2_.setSelStart(0);
  text2_.setSelLength(text2_.text().size());
  // Cleared and set in one step: a final entry replaces all the clipboard
  // holds, and listeners such as clipboard history see one change.
  rt_.clipboard.setText(text2_.selText(), rt::Clipboard::Entry::Final);
  text1_.setFocus();
  text1_.setSelStart(0);
  text1_.setSelLength(text1_.text().size());
}

void Form1::Command1_Click() { rt_.windows.endProgram(); }

void Form1::Form_SessionEnd() {
  int code = 0;  // the converter ends as by its close box
  try {
    if (sessionEnd_) {
      code = sessionEnd_();
    } else if (!writing_.empty()) {
      // A script cut short is no script: it goes, as a failed write's does.
      rt_.files.abandon(kScriptFile);
      scriptFile_.free(writing_);
    }
  } catch (const rt::ProcessEnded&) {
    throw;
  } catch (...) {
    // What cannot be done in the time left stays as it is.
  }
  rt_.windows.endProcessNow(code);
}

void Form1::setBusy(bool busy) {
  busy_ = busy;
  if (!busy) text1_.setReadOnly(false);
}

void Form1::showStatus(std::u16string_view status) {
  // Read-only only once there is progress to show: a read-only field is
  // drawn grey, and a short lookup changes nothing on screen.
  text1_.setReadOnly(true);
  text2_.setText(status);
}

}  // namespace conv
