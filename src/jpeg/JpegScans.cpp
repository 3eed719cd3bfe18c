#include "jpeg/JpegScans.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/Parallel.h"
#include "jpeg/JpegBlockOrder.h"

namespace jpeg {
namespace {

template <class Writer>
inline void WriteSymbol(Writer& writer, const HuffmanTable& table, int symbol, int category,
                        std::uint32_t extra) {
    writer.Write((static_cast<std::uint32_t>(table.code[symbol]) << category) | extra,
                 table.length[symbol] + category);
}

// The low `category` bits of value, or of value - 1 for a negative value.
inline std::uint32_t ExtraBits(int value, int category) {
    return static_cast<std::uint32_t>(value + (value >> 31)) & ((1u << category) - 1u);
}

template <class Writer>
void EncodeBlock(Writer& writer, const std::int16_t* block, int& prediction, const HuffmanTable& dc,
                 const HuffmanTable& ac) {
    const int diff = block[0] - prediction;
    prediction = block[0];
    const int dcCategory = Category(diff);
    WriteSymbol(writer, dc, dcCategory, dcCategory, ExtraBits(diff, dcCategory));

    WalkAc(block, [&](int symbol, int value, int category) {
        WriteSymbol(writer, ac, symbol, category, ExtraBits(value, category));
        return true;
    });
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

// Codes blocks [first, last) of a scan whose components all hold one block
// per MCU, in array order: for every block index, one block of each component.
template <class Writer>
void EncodeLinear(const EncoderState& state, std::span<const int> scan, std::size_t first, std::size_t last,
                  Writer& writer) {
    const std::int16_t* blocks[4];
    const HuffmanTable* dc[4];
    const HuffmanTable* ac[4];
    int prediction[4];
    const std::size_t n = scan.size();
    for (std::size_t s = 0; s < n; ++s) {
        blocks[s] = state.components[scan[s]].coefficients.data();
        dc[s] = &state.dc[TableSelector(scan[s])];
        ac[s] = &state.ac[TableSelector(scan[s])];
        prediction[s] = first > 0 ? blocks[s][(first - 1) * 64] : 0;
    }
    for (std::size_t i = first; i < last; ++i) {
        writer.Reserve(BitWriter::kBlockRoom * n);
        for (std::size_t s = 0; s < n; ++s)
            EncodeBlock(writer, blocks[s] + i * 64, prediction[s], *dc[s], *ac[s]);
    }
}

// A scan coded in array order: one component, or components that all have
// sampling factors 1 (then every MCU holds one block of each, with no dummy
// blocks). Large scans are coded in parts on several threads as raw bit
// strings, then joined with byte stuffing in order.
void WriteLinearScan(const EncoderState& state, OutputBuffer& out, std::span<const int> scan, int threads) {
    WriteSos(state, out, scan);
    std::size_t blocks = state.components[scan[0]].coefficients.size() / 64;
    for (const int c : scan) blocks = std::min(blocks, state.components[c].coefficients.size() / 64);
    const int parts = static_cast<int>(std::clamp<std::size_t>(blocks / 4096, 1, std::max(1, threads)));
    BitWriter writer(out);
    if (parts == 1) {
        EncodeLinear(state, scan, 0, blocks, writer);
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
                std::make_unique<OutputBuffer>(out.Capacity() / static_cast<std::size_t>(parts) + 4096);
            RawBitWriter raw(*part.bytes);
            EncodeLinear(
                state, scan,
                static_cast<std::size_t>(core::PartBegin(static_cast<long long>(blocks), parts, p)),
                static_cast<std::size_t>(core::PartBegin(static_cast<long long>(blocks), parts, p + 1)), raw);
            raw.TakeTail(part.tail, part.tailBits);
        });
        for (const Part& part : coded) {
            writer.Append(part.bytes->Data(), part.bytes->Position(), part.tail, part.tailBits);
        }
    }
    writer.Flush();
}

void WriteInterleavedScan(const EncoderState& state, OutputBuffer& out, std::span<const int> scan) {
    WriteSos(state, out, scan);
    const HuffmanTable* dc[4];
    const HuffmanTable* ac[4];
    for (std::size_t s = 0; s < scan.size(); ++s) {
        dc[s] = &state.dc[TableSelector(scan[s])];
        ac[s] = &state.ac[TableSelector(scan[s])];
    }
    int prediction[4] = {};
    BitWriter writer(out);
    WalkInterleaved(state, scan, [&](int s, const std::int16_t* block) {
        writer.Reserve();
        if (block != nullptr) {
            EncodeBlock(writer, block, prediction[s], *dc[s], *ac[s]);
        } else {
            // A dummy block repeats the prediction (difference 0) and ends at once.
            WriteSymbol(writer, *dc[s], 0, 0, 0);
            WriteSymbol(writer, *ac[s], 0x00, 0, 0);
        }
    });
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

void WriteScans(const EncoderState& state, OutputBuffer& out, int threads) {
    const bool oneBlockPerMcu = state.hmax == 1 && state.vmax == 1;
    for (const std::vector<int>& scan : GroupScans(state)) {
        if (scan.size() == 1 || oneBlockPerMcu) {
            WriteLinearScan(state, out, scan, threads);
        } else {
            WriteInterleavedScan(state, out, scan);
        }
    }
}

}  // namespace jpeg
