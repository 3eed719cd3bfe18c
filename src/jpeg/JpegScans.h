// The entropy-coded scans: SOS headers and the Huffman-coded blocks of every
// scan, in block order for a single component and MCU order for several.
#pragma once

#include <cstdint>
#include <span>

#include "jpeg/JpegOutput.h"
#include "jpeg/JpegState.h"

namespace jpeg {

// Writes every scan of the image (components grouped by GroupScans) with the
// Huffman tables already in the state's slots. Scans whose blocks are coded in
// array order are split over `threads` threads; the bytes do not depend on it.
// `expectedBytes` (the estimate of the coded data) sizes the parts' buffers.
void WriteScans(const EncoderState& state, OutputBuffer& out, int threads, std::size_t expectedBytes);

}  // namespace jpeg
