#include "platform/qt/LargeImage.h"

#include <cstddef>
#include <cstring>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#define KORVEL_LARGE_IMAGE_MMAP 1
#endif

namespace platform {

#if defined(KORVEL_LARGE_IMAGE_MMAP)
namespace {

// Below this, an ordinary allocation costs no more.
constexpr qsizetype kMappedFrom = qsizetype{4} << 20;
// The mapping starts with its own length; the pixels follow, 64-byte aligned.
constexpr qsizetype kHeader = 64;

void Unmap(void* mapping) {
    std::size_t length = 0;
    std::memcpy(&length, mapping, sizeof length);
    ::munmap(mapping, length);
}

}  // namespace
#endif

QImage NewLargeImage(QSize size, QImage::Format format, [[maybe_unused]] LargePages pages) {
    if (size.isEmpty() || format == QImage::Format_Invalid) return {};
#if defined(KORVEL_LARGE_IMAGE_MMAP)
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    // Scan lines padded to 32 bits, as QImage lays them out itself.
    const qsizetype bytesPerLine = (qsizetype{size.width()} * depth + 31) / 32 * 4;
    const qsizetype bytes = bytesPerLine * size.height();
    if (depth > 0 && bytes >= kMappedFrom && bytes / bytesPerLine == size.height()) {
        const auto length = static_cast<std::size_t>(bytes + kHeader);
        void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) return {};
#if defined(MADV_HUGEPAGE)
        // Advice only; ignored where huge pages are off.
        if (pages == LargePages::HugeWhereOffered) ::madvise(mapping, length, MADV_HUGEPAGE);
#endif
        std::memcpy(mapping, &length, sizeof length);
        QImage image(static_cast<uchar*>(mapping) + kHeader, size.width(), size.height(), bytesPerLine,
                     format, Unmap, mapping);
        if (image.isNull()) Unmap(mapping);
        return image;
    }
#endif
    return QImage(size, format);
}

}  // namespace platform
