// The entropy-coded scans: SOS headers and the Huffman-coded blocks of every
// scan, in block order for a single component and MCU order for several.
#pragma once

#include <cstdint>
#include <span>

#include "jpeg/JpegOutput.h"
#include "jpeg/JpegState.h"

namespace jpeg {

// Writes every scan of the image (components grouped by GroupScans) with the
// Huffman tables already in the state's slots.
void WriteScans(const EncoderState& state, OutputBuffer& out);

// Codes one block (64 zigzag coefficients) against the DC prediction, which
// becomes the block's DC coefficient.
void EncodeBlock(BitWriter& writer, const std::int16_t* block, int& prediction, const HuffmanTable& dc,
                 const HuffmanTable& ac);

}  // namespace jpeg
