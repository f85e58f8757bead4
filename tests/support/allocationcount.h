#pragma once
// Allocations counted per thread, for tests that hold a thread to allocating
// nothing. Linking a test that calls allocationsOnThisThread() replaces the
// program's operator new and delete (every non-aligned form, so that memory a
// library takes with one form and gives back with another stays with one
// allocator, under AddressSanitizer too).

#include <cstdint>

namespace orvane::test {

// How many times the calling thread has called operator new (any form).
uint64_t allocationsOnThisThread();

} // namespace orvane::test
