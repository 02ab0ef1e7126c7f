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

class TaskbarProgress {
 public:
  TaskbarProgress() = default;
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // done of total on window's button; total 0 takes the progress away.
  void show(HWND window, std::uint64_t done, std::uint64_t total);

 private:
  ITaskbarList3* list();

  UniqueModule ole32_;  // declared first: it outlives the list
  ITaskbarList3* list_ = nullptr;
  bool tried_ = false;
};

}  // namespace rt::win32
