#pragma once
// The main window of both programs and the address conversion behind it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "converter/script_file.h"
#include "runtime/services.h"

namespace conv {

class Form1 {
 public:
  // A program-specific start-up branch: handles the command line and returns
  // true, or returns false to let the conversion have it.
  using StartBranch = std::function<bool(Form1&, const std::u16string& commandLine)>;

  explicit Form1(const rt::Services& services, StartBranch branch = {});

  void Form_Load();
  void Text1_Change();
  void Command1_Click();
  // The session ends for certain: what runs is left as it must stay, and
  // the process ends before this returns (runtime/services.h).
  void Form_SessionEnd();

  // A runtime error ends it quietly with the result built so far; only
  // running out of memory (std::bad_alloc) reaches the caller.
  std::u16string hexconvert(std::u16string wert);

  const rt::Services& services() const { return rt_; }

  // What the end of the session does while a long procedure runs: leaves
  // its work as it must stay and returns the exit code.
  using SessionEnd = std::function<int()>;
  // While a long procedure (a lookup) runs, no change reaction runs nested
  // inside it: no conversion, clipboard set or script start. sessionEnd
  // serves until it is replaced; without one, the end of the session ends
  // the program as its close box does.
  void setBusy(bool busy);
  void setSessionEnd(SessionEnd sessionEnd) { sessionEnd_ = std::move(sessionEnd); }
  // What the procedure shows of its progress, in the output field; the input
  // then takes no typing or pasting until the procedure ends.
  void showStatus(std::u16string_view status);

 private:
  static constexpr int kScriptFile = 1;

  void exportScript(const std::u16string& result);

  rt::Services rt_;
  rt::Window& window_;
  rt::TextField& text1_;
  rt::TextField& text2_;
  StartBranch branch_;
  SessionEnd sessionEnd_;
  bool busy_ = false;
  ScriptFile scriptFile_;
  std::u16string writing_;  // the script being written, while it is
};

rt::FormLayout form1Layout();

// Every ":" becomes "-" when wert holds a colon, otherwise every "-" becomes
// ":"; the empty text when it holds neither.
std::u16string convertSeparators(std::u16string_view wert);

}  // namespace conv
