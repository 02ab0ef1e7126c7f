#include "runtime/file_system.h"

#include "runtime/error.h"

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

void FileSystem::remove(std::u16string_view path) {
  refuseNul(path);
  removeFile(path);
}

}  // namespace rt
