#include "platform/qt/JpegDecoder.h"

#include <jerror.h>
#include <jpeglib.h>

#include <QSize>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include "platform/qt/LargeImage.h"
#include "platform/qt/PictureLoader.h"

namespace platform {

namespace {

// The decoder's rows in the memory order of a Format_RGB32 pixel (0xffRRGGBB
// as a 32-bit value), with the fourth byte set to 0xff.
constexpr J_COLOR_SPACE kCanvasOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// Rows asked of the decoder per call.
constexpr JDIMENSION kRowsPerRead = 16;

// libjpeg reports a fatal error through error_exit, which must not return:
// it jumps back to the setjmp of the step that was running. The frames it
// jumps over are libjpeg's and the steps' own, which hold plain data only.
struct ErrorTrap : jpeg_error_mgr {
    std::jmp_buf jump;
    // The data ended before the end-of-image marker (the decoder then goes
    // on as if the marker were there).
    bool endMissing = false;
};

[[noreturn]] void Abandon(j_common_ptr info) {
    std::longjmp(static_cast<ErrorTrap*>(info->err)->jump, 1);
}

// Warnings after which the picture cannot be complete end the decode: a
// scan breaks off before its last block (the decoder would paint the rest
// grey), a progressive file refines a coefficient out of order. A file that
// ends early is only noted: when the end marker alone is missing, every row
// is there (the decode checks that the scans were complete). Other damage
// the decoder recovers from without losing picture data (stray bytes
// between markers) is only counted.
void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    switch (info->err->msg_code) {
        case JWRN_JPEG_EOF:
            static_cast<ErrorTrap*>(info->err)->endMissing = true;
            ++info->err->num_warnings;
            break;
        case JWRN_HIT_MARKER:
        case JWRN_BOGUS_PROGRESSION:
            Abandon(info);
        default:
            ++info->err->num_warnings;
    }
}

void Quiet(j_common_ptr) {}

// Called by the decoder before each step of its input (a scan's header, a
// row of blocks) and for each output row: ends the decode when asked to, and
// checks every new scan before its first block is decoded.
struct ScanWatch : jpeg_progress_mgr {
    const std::atomic<bool>* cancel = nullptr;
    int scan = 0;              // the last scan checked
    std::uint64_t blocks = 0;  // blocks walked by the scans so far
    std::uint64_t budget = 0;
    // Per component and coefficient, the bit position its last scan sent
    // down to; -1 before its first scan.
    std::array<std::array<std::int8_t, DCTSIZE2>, MAX_COMPONENTS> sent{};
};

void WatchScans(j_common_ptr common) {
    auto* watch = static_cast<ScanWatch*>(common->progress);
    if (watch->cancel != nullptr && watch->cancel->load(std::memory_order_relaxed)) Abandon(common);
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number == watch->scan) return;
    watch->scan = info->input_scan_number;
    for (int i = 0; i < info->comps_in_scan; ++i) {
        const jpeg_component_info& component = *info->cur_comp_info[i];
        watch->blocks += std::uint64_t{component.width_in_blocks} * component.height_in_blocks;
        auto& sent = watch->sent[static_cast<std::size_t>(component.component_index)];
        if (!info->progressive_mode) {
            sent.fill(0);  // a sequential scan sends every coefficient whole
            continue;
        }
        // A coefficient's first scan (Ah 0) comes once; each refinement goes
        // on from the bit position the scan before left (the decoder itself
        // lets a repeated first scan through, and each costs a whole walk).
        for (int k = info->Ss; k <= std::min(info->Se, DCTSIZE2 - 1); ++k) {
            std::int8_t& bits = sent[static_cast<std::size_t>(k)];
            if (info->Ah == 0 ? bits >= 0 : bits != info->Ah) Abandon(common);
            bits = static_cast<std::int8_t>(info->Al);
        }
    }
    if (watch->blocks > watch->budget) Abandon(common);
}

// Everything one decode needs, in plain data the steps can reach after a
// jump; the decompressor is released with it.
struct Job {
    jpeg_decompress_struct info{};
    ErrorTrap trap{};
    ScanWatch watch{};
    bool cmyk = false;

    Job() {
        info.err = jpeg_std_error(&trap);
        trap.error_exit = Abandon;
        trap.emit_message = OnMessage;
        trap.output_message = Quiet;
        for (auto& component : watch.sent) component.fill(-1);
        watch.progress_monitor = WatchScans;
    }
    ~Job() { jpeg_destroy_decompress(&info); }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
};

// Reads the header and chooses the output; false when the file is no JPEG
// the decoder reads or its colours are none it converts.
bool ReadHeader(Job& job, std::span<const std::byte> bytes, const std::atomic<bool>* cancel) {
    if (setjmp(job.trap.jump) != 0) return false;
    jpeg_create_decompress(&job.info);
    jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&job.info, TRUE);
    switch (job.info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            job.info.out_color_space = kCanvasOrder;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            job.info.out_color_space = JCS_CMYK;
            job.cmyk = true;
            break;
        default:
            return false;
    }
    // The coefficients of a progressive or multi-scan picture are held whole
    // until its last scan; past this the decoder stops with an error.
    job.info.mem->max_memory_to_use = static_cast<long>(std::min<qint64>(2 * kMaxPictureBytes, LONG_MAX));
    std::uint64_t frameBlocks = 0;
    for (int i = 0; i < job.info.num_components; ++i) {
        const jpeg_component_info& component = job.info.comp_info[i];
        frameBlocks += std::uint64_t{component.width_in_blocks} * component.height_in_blocks;
    }
    job.watch.cancel = cancel;
    job.watch.budget = frameBlocks * kMaxJpegScanPasses;
    job.info.progress = &job.watch;
    return true;
}

// CMYK as Adobe writes it (inverted values) to RGB, as Qt's reader converts it.
void CmykToRgb32(unsigned char* row, JDIMENSION width) {
    auto* out = reinterpret_cast<std::uint32_t*>(row);
    for (JDIMENSION x = 0; x < width; ++x, row += 4) {
        const unsigned k = row[3];
        out[x] = qRgb(static_cast<int>(k * row[0] / 255), static_cast<int>(k * row[1] / 255),
                      static_cast<int>(k * row[2] / 255));
    }
}

// Decodes every row into `bits` (rows `bytesPerLine` apart, four bytes per
// pixel). A progressive file's scans are all read in jpeg_start_decompress.
bool DecodeRows(Job& job, unsigned char* bits, qsizetype bytesPerLine) {
    if (setjmp(job.trap.jump) != 0) return false;
    jpeg_start_decompress(&job.info);
    const JDIMENSION height = job.info.output_height;
    const JDIMENSION width = job.info.output_width;
    std::array<JSAMPROW, kRowsPerRead> rows{};
    while (job.info.output_scanline < height) {
        const JDIMENSION first = job.info.output_scanline;
        const JDIMENSION count = std::min(kRowsPerRead, height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = bits + static_cast<qsizetype>(first + i) * bytesPerLine;
        const JDIMENSION read = jpeg_read_scanlines(&job.info, rows.data(), count);
        if (read == 0) return false;
        if (job.cmyk) {
            for (JDIMENSION i = 0; i < read; ++i) CmykToRgb32(rows[i], width);
        }
    }
    return true;
}

// True when every coefficient of every component has been sent down to its
// last bit: a file whose data ended there lacks only its end marker.
bool ScansComplete(const Job& job) {
    for (int i = 0; i < job.info.num_components; ++i) {
        const auto& sent = job.watch.sent[static_cast<std::size_t>(job.info.comp_info[i].component_index)];
        if (std::any_of(sent.begin(), sent.end(), [](std::int8_t bits) { return bits != 0; })) return false;
    }
    return true;
}

// The resolution the file records, as Qt's reader takes it.
void SetResolution(QImage& picture, const jpeg_decompress_struct& info) {
    if (info.density_unit == 1) {  // dots per inch
        picture.setDotsPerMeterX(static_cast<int>(100. * info.X_density / 2.54));
        picture.setDotsPerMeterY(static_cast<int>(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {  // dots per centimetre
        picture.setDotsPerMeterX(static_cast<int>(100. * info.X_density));
        picture.setDotsPerMeterY(static_cast<int>(100. * info.Y_density));
    }
}

}  // namespace

bool IsJpeg(std::span<const std::byte> head) {
    return head.size() >= 2 && head[0] == std::byte{0xFF} && head[1] == std::byte{0xD8};
}

QImage DecodeJpeg(std::span<const std::byte> bytes, const std::atomic<bool>* cancel) {
    if (!IsJpeg(bytes)) return {};
    Job job;
    if (!ReadHeader(job, bytes, cancel)) return {};
    const QSize size(static_cast<int>(job.info.image_width), static_cast<int>(job.info.image_height));
    if (!PictureSizeAllowed(size)) return {};
    QImage picture = NewLargeImage(size, QImage::Format_RGB32);
    if (picture.isNull() || picture.bytesPerLine() != qsizetype{size.width()} * 4) return {};
    if (!DecodeRows(job, picture.bits(), picture.bytesPerLine())) return {};
    // A file cut short between two scans decodes without a broken scan, but
    // blurred or without some colours: only a missing end marker is let by.
    if (job.trap.endMissing && !ScansComplete(job)) return {};
    SetResolution(picture, job.info);
    return picture;
}

}  // namespace platform
