// Allocator for the large per-image arrays (coefficients, output bytes):
// elements are left uninitialised on resize, since every entry is written
// before it is read; clearing tens of megabytes first would cost as much as
// a stage of the encoder.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace jpeg {

template <class T>
struct LargeBufferAllocator {
    using value_type = T;

    LargeBufferAllocator() = default;
    template <class U>
    LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }

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
