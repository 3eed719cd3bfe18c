// Allocator for the large per-image arrays (coefficients, output bytes):
// elements are left uninitialised on resize, since every entry is written
// before it is read; clearing tens of megabytes first would cost as much as
// a stage of the encoder. Blocks of 8 MB and more ask the system for huge
// pages: first-touching 50 MB in 4 KB pages costs 60-90 ms of page faults,
// in 2 MB pages a few milliseconds.
#pragma once

#include <cstddef>
#include <new>

namespace jpeg {

void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes) noexcept;

template <class T>
struct LargeBufferAllocator {
    using value_type = T;

    LargeBufferAllocator() = default;
    template <class U>
    LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }

    // Value-less construction leaves the element uninitialised.
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(static_cast<Args&&>(args)...);
    }

    template <class U>
    bool operator==(const LargeBufferAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace jpeg
