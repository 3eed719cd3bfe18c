// Pixel memory of bitmaps the layer owns: zero-filled without a clearing
// pass. Small blocks come from calloc (which skips the clearing for memory
// fresh from the system); large ones are mapped straight from the system,
// which hands out zeroed pages, and ask for huge pages so that the first
// touch of a 4K picture costs a few dozen page faults instead of thousands.
#include <cstdlib>
#include <new>

#include "raster/RasterObjects.h"

#if defined(__linux__)
#include <sys/mman.h>
#define KORVEL_PIXELS_MMAP 1
#endif

namespace gdi::detail {
namespace {

#if defined(KORVEL_PIXELS_MMAP)
// From this size on, pixel memory is mapped on its own.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;
#endif

}  // namespace

PixelMemory AllocatePixels(std::size_t bytes) {
    if (bytes == 0) bytes = 1;
#if defined(KORVEL_PIXELS_MMAP)
    if (bytes >= kMappedFrom) {
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        ::madvise(p, bytes, MADV_HUGEPAGE);  // advice only; ignored where huge pages are off
#endif
        return PixelMemory(static_cast<std::uint8_t*>(p), PixelMemoryDeleter{bytes});
    }
#endif
    void* p = std::calloc(bytes, 1);
    if (p == nullptr) throw std::bad_alloc();
    return PixelMemory(static_cast<std::uint8_t*>(p), PixelMemoryDeleter{bytes});
}

void PixelMemoryDeleter::operator()(std::uint8_t* p) const noexcept {
    if (p == nullptr) return;
#if defined(KORVEL_PIXELS_MMAP)
    if (bytes >= kMappedFrom) {
        ::munmap(p, bytes);
        return;
    }
#endif
    std::free(p);
}

}  // namespace gdi::detail
