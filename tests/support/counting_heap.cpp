#include "counting_heap.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace counting_heap {
namespace {

std::atomic<std::size_t> held{0}, peak{0};
// Each block starts with its size, in a header that keeps the alignment
// operator new promises.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* take(std::size_t size) noexcept {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) return nullptr;
  *reinterpret_cast<std::size_t*>(block) = size;
  const std::size_t now = held += size;
  for (std::size_t most = peak; now > most && !peak.compare_exchange_weak(most, now);) {
  }
  return block + kHeader;
}

void give(void* p) noexcept {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  held -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}

void* takeOrThrow(std::size_t size) {
  if (void* p = take(size)) return p;
  throw std::bad_alloc();
}

}  // namespace

std::size_t now() { return held; }
std::size_t most() { return peak; }
void resetMost() { peak = held.load(); }

}  // namespace counting_heap

void* operator new(std::size_t size) { return counting_heap::takeOrThrow(size); }
void* operator new[](std::size_t size) { return counting_heap::takeOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counting_heap::take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counting_heap::take(size); }
void operator delete(void* p) noexcept { counting_heap::give(p); }
void operator delete[](void* p) noexcept { counting_heap::give(p); }
void operator delete(void* p, std::size_t) noexcept { counting_heap::give(p); }
void operator delete[](void* p, std::size_t) noexcept { counting_heap::give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { counting_heap::give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { counting_heap::give(p); }
