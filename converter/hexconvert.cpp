#include "converter/form1.h"
#include "converter/script.h"

#include "runtime/error.h"

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
  // The old script goes whatever follows: an earlier result's script never
  // stands for this one.
  scriptFile_.free(path);
  const auto assignment = scriptAssignment(result);
  if (!assignment) return;
  scriptFile_.write(kScriptFile, path, {u"set mac=", *assignment}, writing_);
  // Minimised and not activated: a started console that took activation
  // would take the keyboard from Text1 after the change reaction has given
  // it back, and the next paste would go nowhere.
  if (const std::optional<ScriptStart> start = scriptStart(*folder))
    rt_.processes.start(start->file, start->folder, rt::WindowStyle::Minimized);
  scriptFile_.tidy(path);
}

}  // namespace conv
