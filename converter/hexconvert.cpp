#include "converter/form1.h"
#include "converter/script.h"

#include "runtime/error.h"
#include "runtime/scope_exit.h"

namespace conv {

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
  const std::optional<std::u16string> folder = scriptFolder(rt_.invocation);
  if (!folder) return;
  const std::u16string path = *folder + u"\\wmac.cmd";
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
  if (const std::optional<ScriptStart> start = scriptStart(*folder))
    rt_.processes.start(start->file, start->folder, rt::WindowStyle::Minimized);
}

}  // namespace conv
