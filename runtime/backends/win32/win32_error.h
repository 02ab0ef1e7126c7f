#pragma once
// Windows error codes as the runtime's errors: the one place they are mapped.
#include <windows.h>

#include <string_view>

#include "runtime/error.h"

namespace rt::win32 {

// The runtime error for a Windows error code: file and memory codes get
// their runtime numbers, any other code the number `otherwise`. The
// description is the runtime's, with detail (a path, say) after it.
Error systemError(DWORD code, int otherwise, std::u16string_view detail = {});
// The same for GetLastError().
Error lastError(int otherwise, std::u16string_view detail = {});

}  // namespace rt::win32
