#pragma once
// What the unit tests' process holds through operator new, now and at the
// most since the last reset: how a test asserts that memory stays bounded.
// The counting replaces the global operator new and delete of the test
// program (counting_heap.cpp).
#include <cstddef>

namespace counting_heap {

std::size_t now();
std::size_t most();
// The most from here on starts at what is held now.
void resetMost();

}  // namespace counting_heap
