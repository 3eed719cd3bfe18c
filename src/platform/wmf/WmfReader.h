// Reader for Windows metafiles (WMF): the optional placeable header, the
// metafile header and the record list. No Qt in here, so the fuzz target and
// anything else can use it on its own.
//
// Every length and count in the file is checked against the bytes that are
// really there before it is used; a record never reaches past the end of the
// data it was cut from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace wmf {

inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
inline constexpr std::size_t kPlaceableHeaderBytes = 22;
inline constexpr std::size_t kMetaHeaderBytes = 18;

struct PlaceableHeader {
    std::int16_t left = 0;
    std::int16_t top = 0;
    std::int16_t right = 0;
    std::int16_t bottom = 0;
    std::uint16_t unitsPerInch = 0;
};

struct MetaHeader {
    std::uint16_t type = 0;         // 1 memory, 2 disk
    std::uint16_t headerWords = 0;  // always 9
    std::uint16_t version = 0;      // 0x0100 or 0x0300
    std::uint32_t sizeWords = 0;
    std::uint16_t numberOfObjects = 0;
    std::uint32_t maxRecordWords = 0;
};

// The parameters of one record, read by 16-bit word index. Reads outside the
// parameters give 0; callers check Has() first where the count matters.
class Params {
  public:
    Params() = default;
    explicit Params(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Words() const { return bytes_.size() / 2; }
    std::size_t Bytes() const { return bytes_.size(); }
    bool Has(std::size_t words) const { return words <= Words(); }
    std::uint16_t U16(std::size_t word) const;
    std::int16_t S16(std::size_t word) const { return static_cast<std::int16_t>(U16(word)); }
    // Two words, low word first (how 32-bit values such as colours are stored).
    std::uint32_t U32(std::size_t word) const;
    // The bytes from a word index to the end (empty when past the end).
    std::span<const std::uint8_t> From(std::size_t word) const;

  private:
    std::span<const std::uint8_t> bytes_;
};

struct Record {
    std::uint16_t function = 0;
    Params params;
};

struct Metafile {
    std::optional<PlaceableHeader> placeable;
    MetaHeader header;
    // The records in file order, up to (without) the end record. Their
    // lengths were checked when the file was parsed; they are read on the
    // fly, so a file of tiny records costs no memory per record.
    std::span<const std::uint8_t> body;

    // Calls fn(const Record&) for each record while fn returns true.
    template <class Fn>
    void ForEachRecord(Fn&& fn) const;
};

// True when the bytes start like a metafile: the placeable key, or a plain
// metafile header with a known type, header size and version.
bool HasMetafileSignature(std::span<const std::uint8_t> bytes);

// Splits a metafile into its headers and records. Fails (nullopt) on a bad
// header, a record shorter than its own header, a record that claims more
// bytes than remain, or data that ends before the end record.
std::optional<Metafile> ParseMetafile(std::span<const std::uint8_t> bytes);

// Little-endian helpers shared by the readers of this folder.
inline std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(ReadU16(b, at)) |
           (static_cast<std::uint32_t>(ReadU16(b, at + 2)) << 16);
}

template <class Fn>
void Metafile::ForEachRecord(Fn&& fn) const {
    std::size_t pos = 0;
    while (body.size() - pos >= 6) {
        const std::uint64_t bytes = static_cast<std::uint64_t>(ReadU32(body, pos)) * 2;
        if (bytes < 6 || bytes > body.size() - pos) return;
        const Record r{ReadU16(body, pos + 4),
                       Params(body.subspan(pos + 6, static_cast<std::size_t>(bytes) - 6))};
        if (!fn(r)) return;
        pos += static_cast<std::size_t>(bytes);
    }
}

}  // namespace wmf
