#include "win32_taskbar.h"

#include "win32_library.h"

namespace rt::win32 {

ITaskbarList3* TaskbarProgress::shellList() {
  using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  if (!ole32_) ole32_.reset(loadSystemLibrary(L"ole32.dll"));
  const auto initialize = lookUp<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
  const auto create = lookUp<CoCreateInstanceFn>(ole32_.get(), "CoCreateInstance");
  if (!initialize || !create) return nullptr;
  // COM stays initialised on this thread for the rest of the run, and is
  // never uninitialised: the programs end with ExitProcess, which takes
  // COM with it, so an uninitialise would cost a call and change nothing.
  // The window thread is single-threaded, as the taskbar list wants; a
  // thread already initialised otherwise (S_FALSE, or another mode) serves
  // too, and a second initialise after Explorer restarts only counts up.
  initialize(nullptr, COINIT_APARTMENTTHREADED);
  void* made = nullptr;
  if (FAILED(create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &made)) || !made)
    return nullptr;
  return static_cast<ITaskbarList3*>(made);
}

ITaskbarList3* TaskbarProgress::list() {
  if (tried_) return list_.get();
  tried_ = true;
  list_.reset(maker_ ? maker_() : shellList());
  if (list_ && FAILED(list_.get()->HrInit())) list_.reset();
  return list_.get();
}

void TaskbarProgress::show(HWND window, std::uint64_t done, std::uint64_t total) {
  done_ = done < total ? done : total;
  total_ = total;
  if (!window || (total == 0 && !tried_)) return;
  ITaskbarList3* taskbar = list();
  if (!taskbar) return;
  // Failures change nothing the user relies on: the button then shows no
  // progress, as on a shell without it.
  if (total == 0) {
    taskbar->SetProgressState(window, TBPF_NOPROGRESS);
    return;
  }
  taskbar->SetProgressState(window, TBPF_NORMAL);
  taskbar->SetProgressValue(window, done_, total_);
}

void TaskbarProgress::buttonCreated(HWND window) {
  if (!tried_) return;  // no progress yet: the first one makes the list
  list_.reset();
  tried_ = false;
  if (total_ != 0) show(window, done_, total_);
}

}  // namespace rt::win32
