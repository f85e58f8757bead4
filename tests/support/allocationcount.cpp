#include "support/allocationcount.h"

#include <cstdlib>
#include <new>

namespace {

thread_local uint64_t t_allocations = 0;

void* take(std::size_t size) noexcept {
    ++t_allocations;
    return std::malloc(size ? size : 1);
}

void* takeOrThrow(std::size_t size) {
    if (void* p = take(size))
        return p;
    throw std::bad_alloc();
}

} // namespace

uint64_t orvane::test::allocationsOnThisThread() {
    return t_allocations;
}

void* operator new(std::size_t size) {
    return takeOrThrow(size);
}
void* operator new[](std::size_t size) {
    return takeOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return take(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
