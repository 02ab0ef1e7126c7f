#pragma once
// The local date and time, in the user's formats.
#include <windows.h>

#include "runtime/services.h"

namespace rt::win32 {

class Win32Clock : public Clock {
 public:
  DateTime now() override;
  std::uint64_t milliseconds() override { return GetTickCount64(); }
  std::u16string formatDate(const DateTime& when) override;
  std::u16string formatTime(const DateTime& when) override;
};

}  // namespace rt::win32
