// The quantised coefficients of one component, kept compactly: a block is
// the byte length of its AC part (one byte), its DC coefficient (two bytes),
// then each AC coefficient that is not zero as its zigzag position (one byte,
// 1..63, with the top bit set when the value takes two bytes) and its value
// (one byte for -128..127, else two). A block of one colour takes 3 bytes
// instead of 128, so a screenshot's coefficients take a small part of the
// picture's memory; the symbols are read from them in coding order without
// looking at the zeros.
//
// Blocks lie row by row from the top of the component, every block row in
// memory of its own, so block rows can be stored from several threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace jpeg {

// The bytes of one block.
class CompactBlock {
  public:
    explicit CompactBlock(const std::uint8_t* bytes) : p_(bytes) {}

    int Dc() const {
        std::int16_t v;
        std::memcpy(&v, p_ + 1, sizeof v);
        return v;
    }
    // Calls f(position, value) for every AC coefficient that is not zero, in
    // zigzag order.
    template <class F>
    void ForEachAc(F&& f) const {
        const std::uint8_t* at = p_ + 3;
        const std::uint8_t* const end = End();
        while (at < end) {
            const int tag = at[0];
            if (tag & 0x80) {
                std::int16_t v;
                std::memcpy(&v, at + 1, sizeof v);
                f(tag & 0x3F, static_cast<int>(v));
                at += 3;
            } else {
                f(tag, static_cast<int>(static_cast<std::int8_t>(at[1])));
                at += 2;
            }
        }
    }
    // The block after this one in its row.
    const std::uint8_t* End() const { return p_ + 3 + p_[0]; }

  private:
    const std::uint8_t* p_;
};

// Bytes a block row of n blocks takes at most.
constexpr std::size_t MaxRowBytes(std::size_t blocks) {
    return blocks * (3 + 3 * 63);
}

// Appends the compact form of 64 zigzag-ordered coefficients at out and
// returns the end of what it wrote.
std::uint8_t* PutCompactBlock(const std::int16_t* block, std::uint8_t* out);

// Appends AC value `v` at zigzag position `k` in the compact form: one byte of
// position and one of value where it fits, else the position with its top bit
// set and two bytes of value. Returns the byte after it.
inline std::uint8_t* PutCompactValue(std::uint8_t* next, int k, std::int16_t v) {
    if (v >= -128 && v <= 127) {
        next[0] = static_cast<std::uint8_t>(k);
        next[1] = static_cast<std::uint8_t>(v);
        return next + 2;
    }
    next[0] = static_cast<std::uint8_t>(k | 0x80);
    std::memcpy(next + 1, &v, 2);
    return next + 3;
}

class CoefficientStore {
  public:
    // An empty store for blockRows rows of blocksPerRow blocks.
    void Reset(int blocksPerRow, int blockRows);
    // Stores row `row` (the bytes of its blocks, one after another). Rows may
    // be stored from several threads, each row by one.
    void SetRow(int row, std::span<const std::uint8_t> bytes);

    int BlocksPerRow() const { return blocksPerRow_; }
    int BlockRows() const { return static_cast<int>(rows_.size()); }
    std::size_t Blocks() const { return static_cast<std::size_t>(blocksPerRow_) * rows_.size(); }
    bool Empty() const { return Blocks() == 0; }
    // The first block of a row.
    const std::uint8_t* Row(int row) const { return rows_[static_cast<std::size_t>(row)].data(); }
    // Bytes stored, for the memory figures.
    std::size_t Bytes() const;

    // The store as 64 coefficients per block (tests, and code that wants
    // every coefficient), and back.
    std::vector<std::int16_t> Dense() const;
    void AssignDense(std::span<const std::int16_t> coefficients, int blocksPerRow);

  private:
    int blocksPerRow_ = 0;
    std::vector<std::vector<std::uint8_t>> rows_;
};

// Reads the blocks of a store one after another in row order.
class BlockCursor {
  public:
    BlockCursor() = default;
    // At block `index` (row by row from the top-left block).
    BlockCursor(const CoefficientStore& store, std::size_t index);

    const std::uint8_t* Get() const { return at_; }
    void Next() {
        at_ = CompactBlock(at_).End();
        if (++column_ == store_->BlocksPerRow() && row_ + 1 < store_->BlockRows()) {
            column_ = 0;
            at_ = store_->Row(++row_);
        }
    }

  private:
    const CoefficientStore* store_ = nullptr;
    const std::uint8_t* at_ = nullptr;
    int row_ = 0;
    int column_ = 0;
};

}  // namespace jpeg
