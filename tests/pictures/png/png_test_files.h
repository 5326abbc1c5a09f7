#pragma once
// Builds small PNG files byte by byte for the tests. CRCs and compression
// come from zlib, independently of the reader's own CRC.

#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

#include "base/stream.h"

using TBytes = std::vector<uint8_t>;

inline void PutBigEndian32(TBytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

// One chunk: length, name, data, CRC over name and data.
inline TBytes Chunk(const std::string& name, const TBytes& data) {
    TBytes out;
    PutBigEndian32(out, uint32_t(data.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(name.data()), 4);
    // (zlib answers a null buffer with its initial value, so skip empty data.)
    if (!data.empty()) crc = crc32(crc, data.data(), uInt(data.size()));
    PutBigEndian32(out, uint32_t(crc));
    return out;
}

inline TBytes Signature() { return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}; }

inline TBytes IhdrData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0) {
    TBytes data;
    PutBigEndian32(data, width);
    PutBigEndian32(data, height);
    data.insert(data.end(), {depth, colorType, 0, 0, interlace});
    return data;
}

inline TBytes Compress(const TBytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    TBytes out(size);
    compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9);
    out.resize(size);
    return out;
}

inline TBytes Join(std::initializer_list<TBytes> parts) {
    TBytes out;
    for (const TBytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A whole file: signature, header, the chunks given (in order), IEND.
inline TBytes PngFile(const TBytes& ihdr, std::initializer_list<TBytes> chunks) {
    TBytes out = Join({Signature(), Chunk("IHDR", ihdr)});
    for (const TBytes& chunk : chunks) out.insert(out.end(), chunk.begin(), chunk.end());
    const TBytes end = Chunk("IEND", {});
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

// The image-data chunks of `raw` (filtered rows), split into pieces of
// `piece` bytes (0: one chunk).
inline TBytes IdatChunks(const TBytes& raw, size_t piece = 0) {
    const TBytes compressed = Compress(raw);
    if (piece == 0) return Chunk("IDAT", compressed);
    TBytes out;
    for (size_t at = 0; at < compressed.size(); at += piece) {
        const size_t end = std::min(compressed.size(), at + piece);
        const TBytes part = Chunk("IDAT", TBytes(compressed.begin() + long(at), compressed.begin() + long(end)));
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline std::string SuiteFile(const std::string& name) { return std::string(TW_TESTIMAGES_DIR) + "/pngsuite/" + name; }

// Filtered rows with filter byte 0 before each of `rows`.
inline TBytes Unfiltered(std::initializer_list<TBytes> rows) {
    TBytes raw;
    for (const TBytes& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    return raw;
}

inline TMemoryStream StreamOf(const TBytes& bytes) { return TMemoryStream(bytes); }
