#pragma once
// What the process was started with on Windows: its command line and
// environment.
#include <string>
#include <string_view>

#include "runtime/services.h"

namespace rt::win32 {

class Win32Invocation : public Invocation {
 public:
  std::u16string commandLine() override;
  std::u16string environment(std::u16string_view name) override;
  std::uint32_t processId() override;
};

// Text of the command line after the program's name.
std::u16string argumentsOf(std::u16string_view commandLine);

}  // namespace rt::win32
