#include "win32_taskbar.h"

#include "win32_library.h"

namespace rt::win32 {

TaskbarProgress::~TaskbarProgress() {
  list_.reset();  // released inside the apartment
  if (uninitialize_) uninitialize_();
}

ITaskbarList3* TaskbarProgress::shellList() {
  using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
  using CoUninitializeFn = void(WINAPI*)();
  using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  if (!ole32_) ole32_.reset(loadSystemLibrary(L"ole32.dll"));
  const auto create = lookUp<CoCreateInstanceFn>(ole32_.get(), "CoCreateInstance");
  if (!comTried_) {
    comTried_ = true;
    // Once for the run: a list made again after Explorer restarts uses the
    // same apartment. The window thread is single-threaded, as the taskbar
    // list wants. S_OK and S_FALSE each count the apartment up and are
    // paired with an uninitialise; RPC_E_CHANGED_MODE (initialised
    // otherwise by someone else) is not, and that apartment serves too.
    const auto initialize = lookUp<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
    const auto uninitialize = lookUp<CoUninitializeFn>(ole32_.get(), "CoUninitialize");
    if (initialize && uninitialize) {
      const HRESULT result = initialize(nullptr, COINIT_APARTMENTTHREADED);
      if (result == S_OK || result == S_FALSE) uninitialize_ = uninitialize;
    }
  }
  if (!create) return nullptr;
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
