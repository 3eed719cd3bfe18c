// The byte buffer a file is assembled in, and the bit writer of the
// entropy-coded data with its 0xFF byte stuffing.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "jpeg/JpegError.h"
#include "jpeg/JpegState.h"

namespace jpeg {

// Where a file's bytes go as they are made: false when they could not go.
using ByteSink = std::function<bool(const std::uint8_t* bytes, std::size_t size)>;

// A byte buffer sized once from the estimate. Growth is a fallback for the
// rare picture whose byte stuffing outruns the estimate's margin: the file
// is then still written whole instead of the save failing.
//
// With a sink, the entropy-coded data is handed on whenever a megabyte has
// gathered and the buffer is used again from its start, so a file is never
// held whole.
class OutputBuffer {
  public:
    explicit OutputBuffer(std::size_t capacity, const ByteSink* sink = nullptr)
        : bytes_(capacity), sink_(sink) {}

    // Bytes gathered before they are handed on.
    static constexpr std::size_t kDrainFrom = std::size_t{1} << 20;

    // Hands the bytes written so far to the sink and starts again at the
    // buffer's start; nothing without a sink. Only for bytes nothing will
    // change any more (the scans). False once the sink failed.
    bool Drain() {
        if (sink_ == nullptr || failed_) return !failed_;
        if (pos_ > 0 && !(*sink_)(bytes_.data(), pos_)) failed_ = true;
        pos_ = 0;
        return !failed_;
    }
    void DrainIfFull() {
        if (sink_ != nullptr && pos_ >= kDrainFrom) Drain();
    }

    std::size_t Position() const { return pos_; }
    void SetPosition(std::size_t pos) { pos_ = pos; }
    std::uint8_t* Data() { return bytes_.data(); }
    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Capacity() const { return bytes_.size(); }

    void EnsureRoom(std::size_t n) {
        if (bytes_.size() - pos_ < n) bytes_.resize(pos_ + n + bytes_.size() / 2);
    }
    void Put(std::uint8_t b) {
        EnsureRoom(1);
        bytes_[pos_++] = b;
    }
    void Put16(unsigned value) {
        Put(static_cast<std::uint8_t>(value >> 8));
        Put(static_cast<std::uint8_t>(value & 0xFF));
    }
    void PutBytes(const void* data, std::size_t n) {
        EnsureRoom(n);
        std::memcpy(bytes_.data() + pos_, data, n);
        pos_ += n;
    }
    // Writes at an earlier position without moving the write position.
    void Poke16(std::size_t at, unsigned value) {
        bytes_.at(at) = static_cast<std::uint8_t>(value >> 8);
        bytes_.at(at + 1) = static_cast<std::uint8_t>(value & 0xFF);
    }
    // Shrinks the buffer to the bytes written and hands it over.
    ByteArray Release() {
        bytes_.resize(pos_);
        return std::move(bytes_);
    }

  private:
    ByteArray bytes_;
    std::size_t pos_ = 0;
    const ByteSink* sink_ = nullptr;
    bool failed_ = false;
};

// Packs codes most significant bit first into a 64-bit accumulator and moves
// whole bytes to the buffer, stuffing a 0x00 after every 0xFF. The raw form
// (Stuff = false) keeps the plain bit string, for parts of a scan coded on
// separate threads and joined by a stuffing writer afterwards.
template <bool Stuff>
class BasicBitWriter {
  public:
    // Room to reserve before coding one block: 64 codes of up to 32 bits,
    // doubled for stuffing, plus a flush of the accumulator.
    static constexpr std::size_t kBlockRoom = 64 * 4 * 2 + 32;

    explicit BasicBitWriter(OutputBuffer& out) : out_(out) {}

    // Makes room for one more block in the buffer (handing a full buffer on
    // to its sink first).
    void Reserve(std::size_t n = kBlockRoom) {
        out_.SetPosition(static_cast<std::size_t>(next_ - out_.Data()));
        out_.DrainIfFull();
        out_.EnsureRoom(n);
        next_ = out_.Data() + out_.Position();
    }

    // Appends the low count bits of value (count <= 32; higher bits of value zero).
    void Write(std::uint32_t value, int count) {
        if (count < free_) {
            acc_ = (acc_ << count) | value;
            free_ -= count;
            return;
        }
        const int rest = count - free_;
        acc_ = (acc_ << free_) | (static_cast<std::uint64_t>(value) >> rest);
        Emit8();
        acc_ = value;  // bits above `rest` are shifted out before the next emit
        free_ = 64 - rest;
    }

    // Completes the last byte with 1-bits and stores everything.
    void Flush() {
        Reserve(32);
        const int used = 64 - free_;
        const int padding = (8 - used % 8) % 8;
        std::uint64_t bits = acc_;
        if (used < 64) bits &= (std::uint64_t{1} << used) - 1;
        bits = (bits << padding) | ((std::uint64_t{1} << padding) - 1);
        for (int shift = used + padding - 8; shift >= 0; shift -= 8) {
            PutStuffed(static_cast<std::uint8_t>(bits >> shift));
        }
        acc_ = 0;
        free_ = 64;
        out_.SetPosition(static_cast<std::size_t>(next_ - out_.Data()));
    }

    // Raw form: stores the whole 64-bit words and hands back the bits that
    // remain (the low `count` bits of `bits`, count < 64).
    void TakeTail(std::uint64_t& bits, int& count) {
        count = 64 - free_;
        bits = count == 0 ? 0 : acc_ & ((std::uint64_t{1} << count) - 1);
        acc_ = 0;
        free_ = 64;
        out_.SetPosition(static_cast<std::size_t>(next_ - out_.Data()));
    }

    // Appends a raw bit string: `bytes` whole bytes, then `count` tail bits.
    void Append(const std::uint8_t* bytes, std::size_t n, std::uint64_t tail, int count) {
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            if ((i & 0xFFF) == 0) Reserve(4096 * 2 + 64);
            const std::uint32_t word = static_cast<std::uint32_t>(bytes[i]) << 24 |
                                       static_cast<std::uint32_t>(bytes[i + 1]) << 16 |
                                       static_cast<std::uint32_t>(bytes[i + 2]) << 8 | bytes[i + 3];
            Write(word, 32);
        }
        Reserve(64);
        for (; i < n; ++i) Write(bytes[i], 8);
        if (count > 32) {
            Write(static_cast<std::uint32_t>(tail >> 32), count - 32);
            count = 32;
        }
        if (count > 0) Write(static_cast<std::uint32_t>(tail & ((std::uint64_t{1} << count) - 1)), count);
    }

  private:
    void PutStuffed(std::uint8_t b) {
        *next_++ = b;
        if (b == 0xFF) *next_++ = 0x00;
    }

    void Emit8() {
        // A byte equal to 0xFF is a zero byte of ~acc_.
        const std::uint64_t inverted = ~acc_;
        const bool hasFF = ((inverted - 0x0101010101010101ULL) & ~inverted & 0x8080808080808080ULL) != 0;
        if (!Stuff || !hasFF) {
            for (int i = 0; i < 8; ++i) next_[i] = static_cast<std::uint8_t>(acc_ >> (56 - 8 * i));
            next_ += 8;
        } else {
            for (int shift = 56; shift >= 0; shift -= 8) PutStuffed(static_cast<std::uint8_t>(acc_ >> shift));
        }
    }

    OutputBuffer& out_;
    std::uint8_t* next_ = out_.Data() + out_.Position();
    std::uint64_t acc_ = 0;
    int free_ = 64;
};

using BitWriter = BasicBitWriter<true>;
using RawBitWriter = BasicBitWriter<false>;

}  // namespace jpeg
