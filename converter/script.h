#pragma once
// The exported script: where it goes, what it says, and how it is started.
#include <optional>
#include <string>
#include <string_view>

#include "runtime/services.h"

namespace conv {

// The script's folder: TEMP, or else TMP, when it is fully qualified
// (X:\... or \\server\share\...) and names neither a drive's or a share's
// root nor the user's profile. None otherwise (unset, empty, or relative
// to the current folder or drive: temp, \temp, C:temp), and then there is
// no script: it would land where the user never put it.
std::optional<std::u16string> scriptFolder(rt::Invocation& invocation);

// The script line that sets mac to exactly result when cmd runs it, with
// cmd's special characters escaped. None when cmd could read it otherwise:
// a result with a character that is neither printable ASCII nor a tab, or
// with "!" (delayed expansion), or a line longer than cmd's 8,191 characters.
std::optional<std::u16string> scriptAssignment(std::u16string_view result);

// How the script in folder is started (rt::Processes::start).
struct ScriptStart {
  std::u16string file;    // ".\wmac.cmd", or the script's full path
  std::u16string folder;  // the started process's current folder; empty: this one's
};
// By its name in its folder, made the current one, so that the folder's
// name never passes through cmd's parser: "%OS%" in it expands to nothing.
// Windows takes no network path (nor \\?\) and no path of MAX_PATH or more
// as a current folder; such a script is started by its full path only when
// that holds none of cmd's special characters, and otherwise not at all.
std::optional<ScriptStart> scriptStart(std::u16string_view folder);

}  // namespace conv
