#include "jpeg/JpegScans.h"

#include <vector>

#include "jpeg/JpegBlockOrder.h"

namespace jpeg {
namespace {

inline void WriteSymbol(BitWriter& writer, const HuffmanTable& table, int symbol, int category,
                        std::uint32_t extra) {
    writer.Write((static_cast<std::uint32_t>(table.code[symbol]) << category) | extra,
                 table.length[symbol] + category);
}

// The low `category` bits of value, or of value - 1 for a negative value.
inline std::uint32_t ExtraBits(int value, int category) {
    return static_cast<std::uint32_t>(value + (value >> 31)) & ((1u << category) - 1u);
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

void WriteSingleScan(const EncoderState& state, OutputBuffer& out, int c) {
    const int scan[1] = {c};
    WriteSos(state, out, scan);
    const Component& comp = state.components[c];
    const HuffmanTable& dc = state.dc[TableSelector(c)];
    const HuffmanTable& ac = state.ac[TableSelector(c)];
    BitWriter writer(out);
    int prediction = 0;
    const std::int16_t* block = comp.coefficients.data();
    const std::int16_t* end = block + comp.coefficients.size();
    for (; block + 64 <= end; block += 64) {
        writer.Reserve();
        EncodeBlock(writer, block, prediction, dc, ac);
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

void EncodeBlock(BitWriter& writer, const std::int16_t* block, int& prediction, const HuffmanTable& dc,
                 const HuffmanTable& ac) {
    const int diff = block[0] - prediction;
    prediction = block[0];
    const int dcCategory = Category(diff);
    WriteSymbol(writer, dc, dcCategory, dcCategory, ExtraBits(diff, dcCategory));

    std::uint64_t nonZero = NonZeroMask(block) & ~std::uint64_t{1};
    int last = 0;
    while (nonZero != 0) {
        const int k = std::countr_zero(nonZero);
        nonZero &= nonZero - 1;
        int run = k - last - 1;
        last = k;
        while (run > 15) {
            WriteSymbol(writer, ac, 0xF0, 0, 0);
            run -= 16;
        }
        const int value = block[k];
        const int category = Category(value);
        WriteSymbol(writer, ac, run * 16 + category, category, ExtraBits(value, category));
    }
    if (last != 63) WriteSymbol(writer, ac, 0x00, 0, 0);
}

void WriteScans(const EncoderState& state, OutputBuffer& out) {
    for (const std::vector<int>& scan : GroupScans(state)) {
        if (scan.size() == 1) {
            WriteSingleScan(state, out, scan[0]);
        } else {
            WriteInterleavedScan(state, out, scan);
        }
    }
}

}  // namespace jpeg
