#include "jpeg/JpegScans.h"

#include <memory>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegBlockOrder.h"

namespace jpeg {
namespace {

// The sink of CodeScan that writes the symbols of one component with its
// Huffman tables.
template <class Writer>
struct SymbolWriter {
    Writer* writer;
    const HuffmanTable* dc;
    const HuffmanTable* ac;

    void Dc(int category, int diff) {
        writer->Reserve();  // room for the whole block, which starts here
        Write(*dc, category, category, diff);
    }
    void Ac(int symbol, int value, int category) { Write(*ac, symbol, category, value); }

    // The symbol's code followed by the low `category` bits of value, or of
    // value - 1 for a negative value.
    void Write(const HuffmanTable& table, int symbol, int category, int value) {
        const std::uint32_t extra =
            static_cast<std::uint32_t>(value + (value >> 31)) & ((1u << category) - 1u);
        writer->Write((static_cast<std::uint32_t>(table.code[symbol]) << category) | extra,
                      table.length[symbol] + category);
    }
};

template <class Writer>
void CodeScanPart(const EncoderState& state, std::span<const int> scan, int p, int parts, Writer& writer) {
    SymbolWriter<Writer> sinks[4];
    for (std::size_t s = 0; s < scan.size(); ++s) {
        sinks[s] = {&writer, &state.dc[TableSelector(scan[s])], &state.ac[TableSelector(scan[s])]};
    }
    CodeScan(state, scan, p, parts, sinks);
}

void WriteSos(const EncoderState& state, OutputBuffer& out, std::span<const int> scan) {
    const auto ns = static_cast<unsigned>(scan.size());
    out.Put(0xFF);
    out.Put(0xDA);
    out.Put16(2 * ns + 6);
    out.Put(static_cast<std::uint8_t>(ns));
    for (const int c : scan) {
        const int selector = TableSelector(c);
        out.Put(static_cast<std::uint8_t>(state.components[c].id));
        out.Put(static_cast<std::uint8_t>(selector * 16 + selector));
    }
    out.Put(0);   // Ss
    out.Put(63);  // Se
    out.Put(0);   // Ah, Al
}

// Writes one scan. A scan in several parts is coded on several threads as raw
// bit strings, then joined with byte stuffing in order.
void WriteScan(const EncoderState& state, OutputBuffer& out, std::span<const int> scan, int threads,
               std::size_t expectedBytes) {
    WriteSos(state, out, scan);
    const int parts = ScanParts(state, scan, threads);
    BitWriter writer(out);
    if (parts == 1) {
        CodeScanPart(state, scan, 0, 1, writer);
    } else {
        struct Part {
            std::unique_ptr<OutputBuffer> bytes;
            std::uint64_t tail = 0;
            int tailBits = 0;
        };
        std::vector<Part> coded(static_cast<std::size_t>(parts));
        core::RunParts(parts, [&](int p) {
            Part& part = coded[static_cast<std::size_t>(p)];
            part.bytes =
                std::make_unique<OutputBuffer>(expectedBytes / static_cast<std::size_t>(parts) + 4096);
            RawBitWriter raw(*part.bytes);
            CodeScanPart(state, scan, p, parts, raw);
            raw.TakeTail(part.tail, part.tailBits);
        });
        // Each part goes as soon as it is joined.
        for (Part& part : coded) {
            writer.Append(part.bytes->Data(), part.bytes->Position(), part.tail, part.tailBits);
            part.bytes.reset();
        }
    }
    writer.Flush();
}

}  // namespace

std::vector<std::vector<int>> GroupScans(const EncoderState& state) {
    std::vector<std::vector<int>> scans;
    const int count = static_cast<int>(state.components.size());
    int next = 0;
    while (next < count) {
        std::vector<int> group;
        int blocks = 0;
        while (next < count) {
            const Component& c = state.components[next];
            blocks += c.h * c.v;
            if (blocks < 11) {
                group.push_back(next++);
                if (group.size() == 3) break;
            } else {
                if (group.empty()) group.push_back(next++);
                break;
            }
        }
        scans.push_back(std::move(group));
    }
    return scans;
}

void WriteScans(const EncoderState& state, OutputBuffer& out, int threads, std::size_t expectedBytes) {
    for (const std::vector<int>& scan : GroupScans(state))
        WriteScan(state, out, scan, threads, expectedBytes);
}

}  // namespace jpeg
