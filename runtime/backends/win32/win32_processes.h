#pragma once
// Starting command scripts on Windows.
#include "runtime/services.h"

namespace rt::win32 {

class Win32Processes : public Processes {
 public:
  void start(std::u16string_view file, std::u16string_view folder, WindowStyle style) override;
};

}  // namespace rt::win32
