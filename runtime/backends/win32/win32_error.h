#pragma once
// Windows error codes as the runtime's errors: the one place they are mapped.
#include <windows.h>

#include <string>
#include <string_view>

#include "runtime/error.h"

namespace rt::win32 {

// The runtime error for a Windows error code that call (the function that
// failed, "CreateFileW") returned: file and memory codes get their runtime
// numbers, any other code the number `otherwise`. The description is the
// runtime's, with detail (a path, say) after it; the error keeps the code
// and the call, so that the report can say what failed and what Windows
// said.
Error systemError(std::u16string_view call, DWORD code, int otherwise, std::u16string_view detail = {});
// The same for GetLastError().
Error lastError(std::u16string_view call, int otherwise, std::u16string_view detail = {});
// The runtime error number, whatever the code, with GetLastError() kept:
// for a failure whose meaning the call itself names (the clipboard).
Error lastErrorAs(std::u16string_view call, int number);

// What failed and what Windows says of its code, in Windows' own words and
// the user's language: "Windows error 32 in CreateFileW: The process cannot
// access the file because it is being used by another process." Without a
// call, "Windows error 32: ..."; just the number when Windows has no text.
std::u16string systemMessage(DWORD code, std::u16string_view call = {});

}  // namespace rt::win32
