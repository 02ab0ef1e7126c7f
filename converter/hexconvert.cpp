#include "converter/form1.h"

#include "runtime/error.h"

namespace conv {
namespace {

constexpr int kScriptFile = 1;

// cmd reads no batch line longer than this.
constexpr std::size_t kCmdLineLimit = 8191;

// Frees the script's file number when writing fails half way, so that
// later conversions can open it again. Made only once the open succeeded:
// a number that was taken already belongs to someone else.
class CloseOnUnwind {
 public:
  CloseOnUnwind(rt::FileTable& files, int number) : files_(files), number_(number) {}
  ~CloseOnUnwind() {
    if (!files_.isOpen(number_)) return;
    try {
      files_.close(number_);
    } catch (const rt::Error&) {
      // Already failing; the first error is the one that counts.
    }
  }
  CloseOnUnwind(const CloseOnUnwind&) = delete;
  CloseOnUnwind& operator=(const CloseOnUnwind&) = delete;

 private:
  rt::FileTable& files_;
  int number_;
};

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
    rt_.clipboardSetText(result, rt::Services::ClipboardEntry::Passing);
    exportScript(result);
  } catch (const rt::Error&) {
    // Exports are a courtesy; the caller always gets the conversion.
  }
  return result;
}

void Form1::exportScript(const std::u16string& result) {
  const std::u16string path = rt_.environment(u"temp") + u"\\wmac.cmd";
  rt_.fileSystem().remove(path);
  const auto assignment = scriptAssignment(result);
  if (!assignment) return;
  rt::FileTable& files = rt_.files();
  files.open(kScriptFile, path, rt::OpenMode::Append);
  const CloseOnUnwind guard(files, kScriptFile);
  files.printLine(kScriptFile, {u"set mac="});
  files.printLine(kScriptFile, {*assignment});
  files.close(kScriptFile);
  // Minimised and not activated: a started console that took activation
  // would take the keyboard from Text1 after the change reaction has given
  // it back, and the next paste would go nowhere.
  rt_.startProcess(path, rt::WindowStyle::Minimized);
}

}  // namespace conv
