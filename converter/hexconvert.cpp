#include "converter/form1.h"

#include "runtime/error.h"
#include "runtime/scope_exit.h"

namespace conv {
namespace {

// cmd reads no batch line longer than this.
constexpr std::size_t kCmdLineLimit = 8191;

bool isCmdSpecial(char16_t c) { return std::u16string_view(u"^&|<>()\"").find(c) != std::u16string_view::npos; }

}  // namespace

std::u16string convertSeparators(std::u16string_view wert) {
  char16_t from, to;
  if (wert.find(u':') != std::u16string_view::npos) {
    from = u':';
    to = u'-';
  } else if (wert.find(u'-') != std::u16string_view::npos) {
    from = u'-';
    to = u':';
  } else {
    return {};
  }
  std::u16string result(wert);
  for (char16_t& c : result)
    if (c == from) c = to;
  return result;
}

std::optional<std::u16string> scriptAssignment(std::u16string_view result) {
  std::u16string line = u"set mac=";
  line.reserve(line.size() + result.size() * 2);
  for (char16_t c : result) {
    // cmd reads the script in the console's code page, not the one it is
    // written in, and stops at some control characters: only printable
    // ASCII and tab read back the same everywhere.
    if ((c < u' ' && c != u'\t') || c > u'~') return std::nullopt;
    // A batch file called from the user's own runs with the caller's
    // delayed expansion (setlocal EnableDelayedExpansion, or the registry's
    // DelayedExpansion), which reads ! as a variable's start; no escape
    // reads the same with it on and off.
    if (c == u'!') return std::nullopt;
    if (c == u'%') {
      line += u"%%";
      continue;
    }
    if (isCmdSpecial(c)) line += u'^';
    line += c;
  }
  if (line.size() > kCmdLineLimit) return std::nullopt;
  return line;
}

std::u16string Form1::hexconvert(std::u16string wert) {
  std::u16string result;
  try {
    result = convertSeparators(wert);
    if (result.empty()) return result;
    // The change reaction sets the same text again as what the run leaves.
    rt_.clipboard.setText(result, rt::Clipboard::Entry::Passing);
    exportScript(result);
  } catch (const rt::Error&) {
    // Exports are a courtesy; the caller always gets the conversion.
  }
  return result;
}

void Form1::exportScript(const std::u16string& result) {
  const std::u16string path = rt_.invocation.environment(u"temp") + u"\\wmac.cmd";
  rt_.files.remove(path);
  const auto assignment = scriptAssignment(result);
  if (!assignment) return;
  // A script that cannot be written whole is removed and never started:
  // a half script (a full disk) would set mac to what was never converted.
  // A write that fails half way frees the script's number, so that later
  // conversions can open it again.
  exporting_ = path;
  const auto done = rt::scopeExit([this] { exporting_.clear(); });
  auto removeHalf = rt::scopeExit([&] {
    try {
      rt_.files.remove(path);
    } catch (const rt::Error&) {
      // Held by another program: nothing more can be done here.
    }
  });
  {
    rt::OpenFile script(rt_.files, kScriptFile, path, rt::OpenMode::Append);
    rt_.files.printLine(kScriptFile, {u"set mac="});
    rt_.files.printLine(kScriptFile, {*assignment});
    script.close();
  }
  removeHalf.release();
  // Minimised and not activated: a started console that took activation
  // would take the keyboard from Text1 after the change reaction has given
  // it back, and the next paste would go nowhere.
  rt_.processes.start(path, rt::WindowStyle::Minimized);
}

}  // namespace conv
