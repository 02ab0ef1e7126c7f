#pragma once
// A cleanup that runs when the scope ends, however it ends, in the manner
// of WIL's scope_exit: for the calls that come in pairs and have no handle
// of their own to own. release() cancels it.
#include <utility>

namespace rt {

template <typename Cleanup>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Cleanup cleanup) : cleanup_(std::move(cleanup)) {}
  ~ScopeExit() {
    if (armed_) cleanup_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  void release() { armed_ = false; }

 private:
  Cleanup cleanup_;
  bool armed_ = true;
};

template <typename Cleanup>
ScopeExit<Cleanup> scopeExit(Cleanup cleanup) {
  return ScopeExit<Cleanup>(std::move(cleanup));
}

}  // namespace rt
