#pragma once
// The script's file on disk: replaced whole, never extended, whoever holds
// the old one. A program that holds a file and lets others delete it (a
// virus scanner, cmd running the script) keeps a deleted file's name taken
// on Windows until it lets go; a file renamed first frees its name at once.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "runtime/file_table.h"

namespace conv {

class ScriptFile {
 public:
  ScriptFile(rt::FileTable& files, std::uint32_t processId) : files_(files), processId_(processId) {}

  // Frees the name path: a file there is renamed to a name of this
  // process's own in its folder (".old"), then deleted under that name.
  // When that delete is refused (a read-only file), the file gets its name
  // back and the error is thrown; a holder that shares no delete leaves it
  // set aside, for tidy(). Errors: the rename's (file_system.h), a holder
  // that lets no one delete or rename having been waited for.
  void free(std::u16string_view path);
  // Writes lines as file number under a new name of its own beside path
  // (".new"), then gives that file the name path without replacing: at no
  // moment does path hold a mix or an empty script. path is free already
  // (free()). writing names the new file while it is written, so that the
  // end of the session can free it. A file written in part, or not named,
  // is freed, and the error is thrown.
  void write(int number, std::u16string_view path, std::initializer_list<std::u16string_view> lines,
             std::u16string& writing);
  // Deletes what runs before this one set aside in path's folder and could
  // not delete (a crash between rename and delete), where that can be done
  // at once. Never an error.
  void tidy(std::u16string_view path) noexcept;

  // Whether name is one that free() sets files aside under.
  static bool isSetAside(std::u16string_view name);  // ignoring case

 private:
  // The next name of this process's own beside path: "wm<process id in
  // hex>-<count><suffix>". Short, as the folder may be near the longest
  // path, and never .cmd nor .bat.
  std::u16string nextName(std::u16string_view path, std::u16string_view suffix);

  rt::FileTable& files_;
  std::uint32_t processId_;
  std::uint32_t count_ = 0;
};

}  // namespace conv
