#pragma once
// Windows error codes as the runtime's errors: the one place they are mapped.
#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/error.h"

namespace rt::win32 {

// The runtime error for a Windows error code: file and memory codes get
// their runtime numbers, any other code the number `otherwise`. The
// description is the runtime's, with detail (a path, say) after it; the
// error keeps the code, so that the report can say what Windows said.
Error systemError(DWORD code, int otherwise, std::u16string_view detail = {});
// The same for GetLastError().
Error lastError(int otherwise, std::u16string_view detail = {});
// The runtime error number, whatever the code, with GetLastError() kept:
// for a failure whose meaning the call itself names (the clipboard).
Error lastErrorAs(int number);

// What Windows says of a code, in its own words and the user's language:
// "Windows error 32: The process cannot access the file because it is being
// used by another process." Just the number when Windows has no text.
std::u16string systemMessage(DWORD code);

}  // namespace rt::win32
