// libFuzzer entry for the metafile reader and player: any bytes are parsed
// and, when they parse, drawn. Smaller size and work limits than the
// program's keep each run short, so the fuzzer explores instead of painting.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/wmf/WmfPicture.h"
#include "platform/wmf/WmfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    wmf::HasMetafileSignature(bytes);
    wmf::RenderLimits limits;
    limits.maxSide = 2048;
    limits.maxImageBytes = std::uint64_t{16} << 20;
    limits.maxBitmapPixels = std::uint64_t{1} << 20;
    limits.minWork = std::uint64_t{1} << 22;
    limits.maxWork = std::uint64_t{1} << 24;
    const QImage image = wmf::RenderMetafile(bytes, limits);
    if (!image.isNull() && (image.width() > limits.maxSide || image.height() > limits.maxSide)) std::abort();
    return 0;
}
