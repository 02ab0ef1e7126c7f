#include "runtime/file_system.h"

#include "runtime/error.h"
#include "runtime/scope_exit.h"

namespace rt {
namespace {

// A system call would take the path only up to its first NUL and use
// another file; such a path is refused, and the report shows the NULs.
void refuseNul(std::u16string_view path) {
  if (path.find(u'\0') == std::u16string_view::npos) return;
  std::u16string shown;
  for (char16_t c : path) {
    if (c == u'\0')
      shown += u"<NUL>";
    else
      shown += c;
  }
  throw errorWithDetail(err::BadFileNameOrNumber, shown);
}

}  // namespace

std::unique_ptr<File> FileSystem::open(std::u16string_view path, OpenMode mode) {
  refuseNul(path);
  return openFile(path, mode);
}

void appendLines(File& file, std::string_view lines) {
  file.beginAppend();
  const auto endTurn = scopeExit([&] { file.endAppend(); });
  const std::uint64_t before = file.size();
  // A file cut short inside a line by a writer without this care, or
  // written by another program, gets its line end first: the lines then
  // start a line of their own. A lone CR gets the LF that makes CR LF.
  std::string piece;
  if (before > 0) {
    char last = '\n';
    file.seek(before - 1);
    if (file.read(&last, 1) == 1 && last != '\n') piece = last == '\r' ? "\n" : "\r\n";
  }
  piece += lines;
  try {
    file.write(piece);
  } catch (const Error& failed) {
    try {
      file.truncate(before);
    } catch (const Error&) {
      throw Error(failed.number(), failed.description() + u" (the part written could not be taken back)",
                  failed.systemCode(), failed.systemCall());
    }
    throw;
  }
}

void FileSystem::remove(std::u16string_view path, bool waitForHolder) {
  refuseNul(path);
  removeFile(path, waitForHolder);
}

void FileSystem::rename(std::u16string_view from, std::u16string_view to) {
  refuseNul(from);
  refuseNul(to);
  renameFile(from, to);
}

}  // namespace rt
