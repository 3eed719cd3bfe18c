// The JFIF file: markers and segments in their fixed order around the scans.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jpeg/JpegOutput.h"
#include "jpeg/JpegState.h"

namespace jpeg {

// Builds the Huffman tables and assembles the complete file in memory.
// Raises error 9 when a component holds no coefficients (nothing sampled).
ByteArray AssembleFile(EncoderState& state, int threads);
// The same file handed to `sink` a megabyte at a time as it is made; false
// when the sink failed.
bool AssembleFile(EncoderState& state, int threads, const ByteSink& sink);

// Segment writers. A DQT or DHT call whose segment start lies at least four
// bytes behind the write position appends another table to that segment.
void WriteApp0(OutputBuffer& out);
void WriteCom(OutputBuffer& out, const std::string& comment);
void WriteDqt(OutputBuffer& out, std::size_t segmentStart, const QuantTable& table, int slot, int precision);
void WriteDht(OutputBuffer& out, std::size_t segmentStart, const HuffmanTable& table, int slot,
              int tableClass);
void WriteSof(OutputBuffer& out, const EncoderState& state, std::uint8_t marker);

}  // namespace jpeg
