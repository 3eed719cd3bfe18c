#include "platform/wmf/WmfReader.h"

namespace wmf {

std::uint16_t Params::U16(std::size_t word) const {
    if (!Has(word + 1)) return 0;
    return ReadU16(bytes_, word * 2);
}

std::uint32_t Params::U32(std::size_t word) const {
    return static_cast<std::uint32_t>(U16(word)) | (static_cast<std::uint32_t>(U16(word + 1)) << 16);
}

std::span<const std::uint8_t> Params::From(std::size_t word) const {
    if (word * 2 >= bytes_.size()) return {};
    return bytes_.subspan(word * 2);
}

namespace {

constexpr std::uint16_t kEndOfFile = 0x0000;
constexpr std::size_t kRecordHeaderBytes = 6;  // size (2 words) + function (1 word)

std::optional<MetaHeader> ReadMetaHeader(std::span<const std::uint8_t> b) {
    if (b.size() < kMetaHeaderBytes) return std::nullopt;
    MetaHeader h;
    h.type = ReadU16(b, 0);
    h.headerWords = ReadU16(b, 2);
    h.version = ReadU16(b, 4);
    h.sizeWords = ReadU32(b, 6);
    h.numberOfObjects = ReadU16(b, 10);
    h.maxRecordWords = ReadU32(b, 12);
    const bool typeOk = h.type == 1 || h.type == 2;
    const bool versionOk = h.version == 0x0100 || h.version == 0x0300;
    if (!typeOk || h.headerWords != 9 || !versionOk) return std::nullopt;
    return h;
}

}  // namespace

bool HasMetafileSignature(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 4 && ReadU32(bytes, 0) == kPlaceableKey) return true;
    return ReadMetaHeader(bytes).has_value();
}

std::optional<Metafile> ParseMetafile(std::span<const std::uint8_t> bytes) {
    Metafile mf;
    std::size_t pos = 0;
    if (bytes.size() >= 4 && ReadU32(bytes, 0) == kPlaceableKey) {
        if (bytes.size() < kPlaceableHeaderBytes) return std::nullopt;
        PlaceableHeader p;
        p.left = static_cast<std::int16_t>(ReadU16(bytes, 6));
        p.top = static_cast<std::int16_t>(ReadU16(bytes, 8));
        p.right = static_cast<std::int16_t>(ReadU16(bytes, 10));
        p.bottom = static_cast<std::int16_t>(ReadU16(bytes, 12));
        p.unitsPerInch = ReadU16(bytes, 14);
        mf.placeable = p;
        pos = kPlaceableHeaderBytes;
    }
    const auto header = ReadMetaHeader(bytes.subspan(pos));
    if (!header) return std::nullopt;
    mf.header = *header;
    pos += kMetaHeaderBytes;

    const std::size_t bodyStart = pos;
    while (true) {
        const std::size_t remaining = bytes.size() - pos;
        if (remaining < kRecordHeaderBytes) return std::nullopt;  // no end record
        const std::uint64_t recordBytes = static_cast<std::uint64_t>(ReadU32(bytes, pos)) * 2;
        if (recordBytes < kRecordHeaderBytes || recordBytes > remaining) return std::nullopt;
        const std::uint16_t function = ReadU16(bytes, pos + 4);
        if (function == kEndOfFile) break;
        pos += static_cast<std::size_t>(recordBytes);
    }
    mf.body = bytes.subspan(bodyStart, pos - bodyStart);
    return mf;
}

}  // namespace wmf
