// Optimal Huffman tables (T.81 Annex K.2) built from the statistics of the
// image's own coefficients, the codes derived from them (Annex C), and the
// byte estimate of the entropy-coded data.
#pragma once

#include <array>
#include <cstdint>

#include "jpeg/JpegState.h"

namespace jpeg {

// Fills bits and huffval of table with optimal code lengths (at most 16) for
// the counted symbols. Overwrites freq.
void GenerateOptimalTable(HuffmanTable& table, FrequencyList& freq);

// Derives length and code of every symbol from bits and huffval. Raises
// "Bad Huffman Table" when the counts overflow, a symbol exceeds maxSymbol or
// repeats, the codes do not fit their lengths, or the table is empty.
void DeriveCodes(HuffmanTable& table, int maxSymbol);

// Counts the symbols of every scan from the stored coefficients, walking them
// as the scans are written (CodeScan, split over `threads` threads the same
// way), builds the DC and AC tables of the slots in use and returns the
// estimated size of the entropy-coded data in bytes (without byte stuffing
// and end-of-scan padding). Dummy blocks of interleaved scans are counted
// too, so their EOB always has a code.
std::int64_t OptimiseTables(EncoderState& state, int threads);

}  // namespace jpeg
