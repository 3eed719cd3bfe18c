#include "jpeg/JpegCoefficients.h"

#include <bit>

#include "jpeg/JpegBlockOrder.h"

namespace jpeg {

std::uint8_t* PutCompactBlock(const std::int16_t* block, std::uint8_t* out) {
    std::uint64_t ac = NonZeroMask(block) & ~std::uint64_t{1};
    std::uint8_t* next = out + 3;
    while (ac != 0) {
        const int k = std::countr_zero(ac);
        ac &= ac - 1;
        const std::int16_t v = block[k];
        next = PutCompactValue(next, k, v);
    }
    out[0] = static_cast<std::uint8_t>(next - out - 3);
    std::memcpy(out + 1, &block[0], 2);
    return next;
}

void CoefficientStore::Reset(int blocksPerRow, int blockRows) {
    blocksPerRow_ = blocksPerRow;
    rows_.assign(static_cast<std::size_t>(blockRows), {});
}

void CoefficientStore::SetRow(int row, std::span<const std::uint8_t> bytes) {
    rows_[static_cast<std::size_t>(row)].assign(bytes.begin(), bytes.end());
}

std::size_t CoefficientStore::Bytes() const {
    std::size_t n = 0;
    for (const std::vector<std::uint8_t>& row : rows_) n += row.size();
    return n;
}

std::vector<std::int16_t> CoefficientStore::Dense() const {
    std::vector<std::int16_t> dense(Blocks() * 64, 0);
    std::int16_t* out = dense.data();
    for (int r = 0; r < BlockRows(); ++r) {
        const std::uint8_t* at = Row(r);
        for (int b = 0; b < blocksPerRow_; ++b, out += 64) {
            const CompactBlock block(at);
            out[0] = static_cast<std::int16_t>(block.Dc());
            block.ForEachAc([out](int k, int v) { out[k] = static_cast<std::int16_t>(v); });
            at = block.End();
        }
    }
    return dense;
}

void CoefficientStore::AssignDense(std::span<const std::int16_t> coefficients, int blocksPerRow) {
    const std::size_t rowCoefficients = static_cast<std::size_t>(blocksPerRow) * 64;
    const int rows = blocksPerRow > 0 ? static_cast<int>(coefficients.size() / rowCoefficients) : 0;
    Reset(blocksPerRow, rows);
    std::vector<std::uint8_t> bytes(MaxRowBytes(static_cast<std::size_t>(blocksPerRow)));
    for (int r = 0; r < rows; ++r) {
        std::uint8_t* end = bytes.data();
        for (int b = 0; b < blocksPerRow; ++b) {
            end = PutCompactBlock(
                coefficients.data() + r * rowCoefficients + static_cast<std::size_t>(b) * 64, end);
        }
        SetRow(r, {bytes.data(), end});
    }
}

BlockCursor::BlockCursor(const CoefficientStore& store, std::size_t index) : store_(&store) {
    const auto perRow = static_cast<std::size_t>(store.BlocksPerRow());
    row_ = static_cast<int>(index / perRow);
    if (row_ >= store.BlockRows()) {
        // One past the last block: nothing to read.
        row_ = store.BlockRows() - 1;
        column_ = store.BlocksPerRow();
        at_ = nullptr;
        return;
    }
    at_ = store.Row(row_);
    for (std::size_t skip = index % perRow; skip > 0; --skip) {
        at_ = CompactBlock(at_).End();
        ++column_;
    }
}

}  // namespace jpeg
