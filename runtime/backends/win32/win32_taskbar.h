#pragma once
// Progress on the program's taskbar button, as Windows programs show long
// work (ITaskbarList3, Windows 7 and later). COM and the taskbar list are
// made at run time, at the first progress shown; where the shell offers
// neither, nothing shows and nothing fails.
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

#include "win32_handles.h"

namespace rt::win32 {

inline void releaseTaskbarList(ITaskbarList3* list) { list->Release(); }
using UniqueTaskbarList = Unique<ITaskbarList3*, &releaseTaskbarList>;

class TaskbarProgress {
 public:
  // done of total on window's button; total 0 takes the progress away.
  void show(HWND window, std::uint64_t done, std::uint64_t total);

 private:
  ITaskbarList3* list();

  UniqueModule ole32_;  // declared first: it outlives the list
  UniqueTaskbarList list_;
  bool tried_ = false;
};

}  // namespace rt::win32
