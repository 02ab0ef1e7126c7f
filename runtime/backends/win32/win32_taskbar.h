#pragma once
// Progress on the program's taskbar button, as Windows programs show long
// work (ITaskbarList3, Windows 7 and later). COM and the taskbar list are
// made at run time, at the first progress shown; where the shell offers
// neither, nothing shows and nothing fails. COM is initialised once, and
// uninitialised after the list is released, only when this part's
// initialise opened the apartment or counted it up. The shell says when it makes
// the window's button ("TaskbarButtonCreated": at the first show, and
// again after Explorer restarts); a list made before serves that button no
// more, so the part makes another and shows the progress again.
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>
#include <functional>

#include "win32_handles.h"

namespace rt::win32 {

inline void releaseTaskbarList(ITaskbarList3* list) { list->Release(); }
using UniqueTaskbarList = Unique<ITaskbarList3*, &releaseTaskbarList>;

class TaskbarProgress {
 public:
  // Makes a taskbar list that the part then owns, or null; tests hand
  // their own stand-in. None: the shell's, through COM.
  using ListMaker = std::function<ITaskbarList3*()>;
  explicit TaskbarProgress(ListMaker maker = {}) : maker_(std::move(maker)) {}
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // done of total on window's button; total 0 takes the progress away.
  void show(HWND window, std::uint64_t done, std::uint64_t total);
  // The shell made window's button anew. Before any progress this loads
  // nothing; with progress showing, it shows it again on a new list.
  void buttonCreated(HWND window);

 private:
  ITaskbarList3* list();
  ITaskbarList3* shellList();

  ListMaker maker_;
  UniqueModule ole32_;  // declared first: loaded while the apartment is open
  bool comTried_ = false;
  void(WINAPI* uninitialize_)() = nullptr;  // set when CoInitializeEx gave S_OK or S_FALSE
  UniqueTaskbarList list_;
  bool tried_ = false;
  std::uint64_t done_ = 0, total_ = 0;  // the progress showing; total 0: none
};

}  // namespace rt::win32
