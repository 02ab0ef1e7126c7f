#include "win32_taskbar.h"

#include "win32_library.h"

namespace rt::win32 {

ITaskbarList3* TaskbarProgress::list() {
  if (tried_) return list_.get();
  tried_ = true;
  using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  ole32_.reset(loadSystemLibrary(L"ole32.dll"));
  const auto initialize = lookUp<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
  const auto create = lookUp<CoCreateInstanceFn>(ole32_.get(), "CoCreateInstance");
  // COM stays initialised on this thread for the rest of the run: the
  // window thread is single-threaded, as the taskbar list wants. A thread
  // already initialised otherwise (S_FALSE, or a changed mode) serves too.
  if (!initialize || !create) return nullptr;
  initialize(nullptr, COINIT_APARTMENTTHREADED);
  void* made = nullptr;
  if (FAILED(create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &made)) || !made)
    return nullptr;
  list_.reset(static_cast<ITaskbarList3*>(made));
  if (FAILED(list_.get()->HrInit())) list_.reset();
  return list_.get();
}

void TaskbarProgress::show(HWND window, std::uint64_t done, std::uint64_t total) {
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
  taskbar->SetProgressValue(window, done < total ? done : total, total);
}

}  // namespace rt::win32
