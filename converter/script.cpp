#include "converter/script.h"

namespace conv {
namespace {

// cmd reads no batch line longer than this.
constexpr std::size_t kCmdLineLimit = 8191;
// Windows' MAX_PATH: no current folder holds a path this long.
constexpr std::size_t kMaxPath = 260;
constexpr char16_t kScriptName[] = u"wmac.cmd";

bool isCmdSpecial(char16_t c) { return std::u16string_view(u"^&|<>()\"").find(c) != std::u16string_view::npos; }
bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c | 0x20) : c; }

// Where the part after a fully qualified path's root starts (after "X:\"
// or "\\server\share\"), or npos when path is not fully qualified.
std::size_t afterRoot(std::u16string_view path) {
  if (path.size() >= 3 && lower(path[0]) >= u'a' && lower(path[0]) <= u'z' && path[1] == u':' && isSeparator(path[2]))
    return 3;
  if (path.size() < 2 || !isSeparator(path[0]) || !isSeparator(path[1])) return std::u16string_view::npos;
  std::size_t at = 2;
  for (int part = 0; part < 2; ++part) {  // server, then share: neither empty
    const std::size_t start = at;
    while (at < path.size() && !isSeparator(path[at])) ++at;
    if (at == start) return std::u16string_view::npos;
    if (at < path.size()) ++at;
  }
  return at;
}

// The path without the separators it ends with, for comparing.
std::u16string_view trimmed(std::u16string_view path) {
  while (!path.empty() && isSeparator(path.back())) path.remove_suffix(1);
  return path;
}

bool samePath(std::u16string_view a, std::u16string_view b) {
  a = trimmed(a);
  b = trimmed(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i]) && !(isSeparator(a[i]) && isSeparator(b[i]))) return false;
  return true;
}

}  // namespace

std::optional<std::u16string> scriptFolder(rt::Invocation& invocation) {
  const std::u16string profile = invocation.environment(u"userprofile");
  for (const char16_t* name : {u"temp", u"tmp"}) {
    std::u16string folder = invocation.environment(name);
    const std::size_t rest = afterRoot(folder);
    if (rest == std::u16string_view::npos) continue;
    const bool root = trimmed(folder).size() <= rest;
    if (!root && !(profile.size() != 0 && samePath(folder, profile))) return folder;
  }
  return std::nullopt;
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

std::optional<ScriptStart> scriptStart(std::u16string_view folder) {
  const std::u16string path = std::u16string(folder) + u"\\" + kScriptName;
  const bool network = folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1]);
  if (!network && path.size() < kMaxPath) return ScriptStart{u".\\" + std::u16string(kScriptName), std::u16string(folder)};
  // On the command line cmd would expand %NAME% and !NAME!, and take the
  // others as its own.
  if (path.find_first_of(u"%!^&()\"") != std::u16string::npos) return std::nullopt;
  return ScriptStart{path, {}};
}

}  // namespace conv
