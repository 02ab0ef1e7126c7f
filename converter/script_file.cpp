#include "converter/script_file.h"

#include <algorithm>
#include <optional>

#include "runtime/error.h"
#include "runtime/scope_exit.h"
#include "runtime/text.h"

namespace conv {
namespace {

constexpr std::u16string_view kSetAside = u".old", kNew = u".new", kPrefix = u"wm";
// Names of its own taken by other files (left by a crash, or another
// copy's whose delete is pending) are passed over, this many at most.
constexpr int kNameTries = 32;

std::u16string_view folderOf(std::u16string_view path) { return path.substr(0, path.find_last_of(u'\\') + 1); }

bool isHex(char16_t c) { return (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'f'); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Whether run is not empty and each of its characters is of.
template <typename Of>
bool allOf(std::u16string_view run, Of&& of) {
  return !run.empty() && std::all_of(run.begin(), run.end(), of);
}

}  // namespace

std::u16string ScriptFile::nextName(std::u16string_view path, std::u16string_view suffix) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string hex;
  for (std::uint32_t id = processId_; hex.empty() || id != 0; id >>= 4) hex.insert(hex.begin(), kDigits[id & 15]);
  std::u16string count;
  for (std::uint32_t n = count_++; count.empty() || n != 0; n /= 10) count.insert(count.begin(), kDigits[n % 10]);
  return std::u16string(folderOf(path)) + std::u16string(kPrefix) + hex + u"-" + count + std::u16string(suffix);
}

bool ScriptFile::isSetAside(std::u16string_view name) {
  // A file system may show names in capitals.
  if (!rt::hasEndsIgnoringCase(name, kPrefix, kSetAside)) return false;
  name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSetAside.size());  // <hex>-<count>
  const std::size_t dash = name.find(u'-');
  return dash != std::u16string_view::npos && allOf(name.substr(0, dash), isHex) && allOf(name.substr(dash + 1), isDigit);
}

void ScriptFile::free(std::u16string_view path) {
  std::u16string aside;
  for (int tries = 1;; ++tries) {
    aside = nextName(path, kSetAside);
    try {
      files_.rename(path, aside);
      break;
    } catch (const rt::Error& e) {
      if (e.number() == rt::err::FileNotFound) return;  // nothing there: the name is free
      if (e.number() != rt::err::FileAlreadyExists || tries == kNameTries) throw;
    }
  }
  try {
    files_.remove(aside);
  } catch (const rt::Error& e) {
    // The name is free all the same; what stays set aside goes later.
    if (e.systemCode() == rt::kSharingViolation) return;
    files_.rename(aside, path);  // a read-only script, say: as it was
    throw;
  }
}

void ScriptFile::write(int number, std::u16string_view path, std::initializer_list<std::u16string_view> lines,
                       std::u16string& writing) {
  std::optional<rt::OpenFile> script;
  for (int tries = 1; !script; ++tries) {
    writing = nextName(path, kNew);
    try {
      script.emplace(files_, number, writing, rt::OpenMode::NewOutput);
    } catch (const rt::Error& e) {
      writing.clear();  // nothing was made
      if (e.number() != rt::err::FileAlreadyExists || tries == kNameTries) throw;
    }
  }
  // A script written in part (a full disk) or left without its name is no
  // script: it goes, and the number is free for later conversions.
  auto discard = rt::scopeExit([&] {
    script.reset();
    try {
      free(writing);
    } catch (...) {
      // Held by another program: tidy() deletes it once set aside.
    }
    writing.clear();
  });
  for (const std::u16string_view line : lines) files_.printLine(number, {line});
  script->close();
  files_.rename(writing, path);
  discard.release();
  writing.clear();
}

void ScriptFile::tidy(std::u16string_view path) noexcept {
  try {
    const std::u16string folder(folderOf(path));
    for (const std::u16string& name : files_.namesIn(folder.substr(0, folder.size() - 1), kPrefix, kSetAside)) {
      if (!isSetAside(name)) continue;
      try {
        files_.remove(folder + name, false);
      } catch (const rt::Error&) {
        // Still held: a later run deletes it.
      }
    }
  } catch (...) {
    // No memory for the names: nothing is left worse than it was.
  }
}

}  // namespace conv
