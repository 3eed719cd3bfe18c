#include "jpeg/JpegFileWriter.h"

#include <algorithm>

#include "core/Rounding.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegHuffman.h"
#include "jpeg/JpegScans.h"
#include "jpeg/JpegTables.h"

namespace jpeg {
namespace {

void Marker(OutputBuffer& out, std::uint8_t code) {
    out.Put(0xFF);
    out.Put(code);
}

// Starts a segment at segmentStart unless it was started there before, and
// leaves the write position after its length field.
void OpenSegment(OutputBuffer& out, std::size_t segmentStart, std::uint8_t code) {
    if (out.Position() < segmentStart + 4) {
        out.SetPosition(segmentStart);
        Marker(out, code);
        out.Put16(0);  // length, stored when the segment is complete
    }
}

void CloseSegment(OutputBuffer& out, std::size_t segmentStart) {
    out.Poke16(segmentStart + 2, static_cast<unsigned>(out.Position() - segmentStart - 2));
}

}  // namespace

void WriteApp0(OutputBuffer& out) {
    static constexpr std::uint8_t kApp0[18] = {0xFF, 0xE0, 0x00, 0x10,        // APP0, length 16
                                               'J',  'F',  'I',  'F',  0x00,  // identifier
                                               0x01, 0x01,                    // version 1.01
                                               0x00,  // density units: none, densities give the aspect ratio
                                               0x00, 0x01, 0x00, 0x01,  // X and Y density 1
                                               0x00, 0x00};             // no thumbnail
    out.PutBytes(kApp0, sizeof kApp0);
}

void WriteCom(OutputBuffer& out, const std::string& comment) {
    if (comment.empty()) return;
    if (comment.size() + 2 > 65535) RaiseOverflow();
    Marker(out, 0xFE);
    out.Put16(static_cast<unsigned>(comment.size() + 2));
    out.PutBytes(comment.data(), comment.size());
}

void WriteDqt(OutputBuffer& out, std::size_t segmentStart, const QuantTable& table, int slot, int precision) {
    OpenSegment(out, segmentStart, 0xDB);
    bool eightBit = true;
    for (const std::uint16_t v : table.values) eightBit = eightBit && v <= 255;
    if (!eightBit && precision != 12)
        throw JpegError(kErrValidation, "Illegal precision in Quantisation Table");
    out.Put(static_cast<std::uint8_t>(eightBit ? slot : slot + 0x10));
    for (const std::uint16_t v : table.values) {
        if (eightBit) {
            out.Put(static_cast<std::uint8_t>(v));
        } else {
            out.Put16(v);
        }
    }
    CloseSegment(out, segmentStart);
}

void WriteDht(OutputBuffer& out, std::size_t segmentStart, const HuffmanTable& table, int slot,
              int tableClass) {
    OpenSegment(out, segmentStart, 0xC4);
    out.Put(static_cast<std::uint8_t>(tableClass == 0 ? slot : slot + 0x10));
    out.PutBytes(table.bits.data(), table.bits.size());
    out.PutBytes(table.huffval.data(), static_cast<std::size_t>(table.SymbolCount()));
    CloseSegment(out, segmentStart);
}

void WriteSof(OutputBuffer& out, const EncoderState& state, std::uint8_t marker) {
    if (state.width < 0 || state.width > 65535 || state.height < 0 || state.height > 65535) RaiseOverflow();
    const auto nf = static_cast<unsigned>(state.components.size());
    Marker(out, marker);
    out.Put16(8 + 3 * nf);
    out.Put(static_cast<std::uint8_t>(state.precision));
    out.Put16(static_cast<unsigned>(state.height));
    out.Put16(static_cast<unsigned>(state.width));
    out.Put(static_cast<std::uint8_t>(nf));
    for (const Component& c : state.components) {
        out.Put(static_cast<std::uint8_t>(c.id));
        out.Put(static_cast<std::uint8_t>(c.h * 16 + c.v));
        out.Put(static_cast<std::uint8_t>(c.quantSelector));
    }
}

namespace {

// Tables, headers, scans and the end marker into out (which may hand them on
// to a sink); `expected` is the estimate of the coded data.
void Assemble(EncoderState& state, int threads, OutputBuffer& out, std::size_t expected) {
    const bool colour = state.components.size() > 1;
    Marker(out, 0xD8);  // SOI
    WriteApp0(out);
    WriteCom(out, state.comment);
    WriteDqt(out, out.Position(), state.quant[0], 0, state.precision);
    if (colour) WriteDqt(out, out.Position(), state.quant[1], 1, state.precision);
    WriteSof(out, state, 0xC0);  // baseline
    WriteDht(out, out.Position(), state.dc[0], 0, 0);
    WriteDht(out, out.Position(), state.ac[0], 0, 1);
    if (colour) {
        WriteDht(out, out.Position(), state.dc[1], 1, 0);
        WriteDht(out, out.Position(), state.ac[1], 1, 1);
    }
    WriteScans(state, out, threads, expected);
    Marker(out, 0xD9);  // EOI
}

// The estimate of the coded data with room for stuffing, headers and comment.
std::size_t ExpectedBytes(const EncoderState& state, std::int64_t estimate) {
    return static_cast<std::size_t>(core::RoundHalfEven(static_cast<double>(estimate) * 1.3 + 1000.0 +
                                                        static_cast<double>(state.comment.size()))) +
           1;
}

}  // namespace

ByteArray AssembleFile(EncoderState& state, int threads) {
    const std::size_t expected = ExpectedBytes(state, OptimiseTables(state, threads));
    OutputBuffer out(expected);
    Assemble(state, threads, out, expected);
    return out.Release();
}

bool AssembleFile(EncoderState& state, int threads, const ByteSink& sink) {
    const std::size_t expected = ExpectedBytes(state, OptimiseTables(state, threads));
    // Room for the headers and a megabyte of coded data with its last block.
    OutputBuffer out(std::min(expected, OutputBuffer::kDrainFrom + 4096 + 65536 + 2048), &sink);
    Assemble(state, threads, out, expected);
    return out.Drain();
}

}  // namespace jpeg
