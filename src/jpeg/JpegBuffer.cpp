#include "jpeg/JpegBuffer.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace jpeg {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

bool IsLarge(std::size_t bytes) {
    return bytes >= 4 * kHugePage;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    if (!IsLarge(bytes)) return ::operator new(bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only; ignored where huge pages are off
#endif
    return p;
}

void FreeLarge(void* p, std::size_t bytes) noexcept {
    if (IsLarge(bytes)) {
        std::free(p);
    } else {
        ::operator delete(p);
    }
}

}  // namespace jpeg
