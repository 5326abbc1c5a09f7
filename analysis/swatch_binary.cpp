// The binary swatch files, ase and aco: every number big-endian.

#include <bit>
#include <cstring>

#include "analysis/swatch_formats.h"
#include "analysis/text_encoding.h"
#include "analysis/text_file_writer.h"

namespace {

class TBigEndianBytes {
public:
    void U16(uint16_t value) {
        FBytes += static_cast<char>(value >> 8);
        FBytes += static_cast<char>(value & 0xFF);
    }
    void U32(uint32_t value) {
        U16(static_cast<uint16_t>(value >> 16));
        U16(static_cast<uint16_t>(value & 0xFFFF));
    }
    void F32(float value) { U32(std::bit_cast<uint32_t>(value)); }
    void Text(const char* text) { FBytes += text; }
    // UTF-16 code units and a terminating zero.
    void Utf16(const std::u16string& text) {
        for (char16_t unit : text) U16(unit);
        U16(0);
    }
    void WriteTo(TTextFileWriter& writer) {
        writer.Write(FBytes.data(), FBytes.size());
        FBytes.clear();
    }

private:
    std::string FBytes;
};

std::u16string HexName(TColor32 color) {
    char name[8] = {'#'};
    char* out = AppendHexByte(RedComponent(color), name + 1);
    out = AppendHexByte(GreenComponent(color), out);
    AppendHexByte(BlueComponent(color), out);
    return Utf16Of(std::string_view(name, 7));
}

constexpr uint16_t AseColorEntry = 0x0001;
constexpr uint16_t AseGlobalColor = 0;
constexpr uint16_t AcoRgbSpace = 0;

void AppendAcoColor(TBigEndianBytes& bytes, TColor32 color) {
    bytes.U16(AcoRgbSpace);
    // 0..255 onto 0..65535: 255 * 257 = 65535.
    bytes.U16(static_cast<uint16_t>(RedComponent(color) * 257));
    bytes.U16(static_cast<uint16_t>(GreenComponent(color) * 257));
    bytes.U16(static_cast<uint16_t>(BlueComponent(color) * 257));
    bytes.U16(0);
}

}  // namespace

void WriteAseSwatches(const TPixelData& colors, TTextFileWriter& writer) {
    TBigEndianBytes bytes;
    bytes.Text("ASEF");
    bytes.U16(1);
    bytes.U16(0);
    bytes.U32(static_cast<uint32_t>(colors.size()));
    for (const TLuminosityPair& pair : colors) {
        const std::u16string name = HexName(pair.Value);
        // Name length and name, model, three floats, colour type.
        const uint32_t blockLength = static_cast<uint32_t>(2 + 2 * (name.size() + 1) + 4 + 12 + 2);
        bytes.U16(AseColorEntry);
        bytes.U32(blockLength);
        bytes.U16(static_cast<uint16_t>(name.size() + 1));
        bytes.Utf16(name);
        bytes.Text("RGB ");
        bytes.F32(RedComponent(pair.Value) / 255.0f);
        bytes.F32(GreenComponent(pair.Value) / 255.0f);
        bytes.F32(BlueComponent(pair.Value) / 255.0f);
        bytes.U16(AseGlobalColor);
        bytes.WriteTo(writer);
    }
    bytes.WriteTo(writer);
}

void WriteAcoSwatches(const TPixelData& colors, TTextFileWriter& writer) {
    TBigEndianBytes bytes;
    // Version 1 for every reader, then version 2, which adds the names.
    bytes.U16(1);
    bytes.U16(static_cast<uint16_t>(colors.size()));
    for (const TLuminosityPair& pair : colors) {
        AppendAcoColor(bytes, pair.Value);
        bytes.WriteTo(writer);
    }
    bytes.U16(2);
    bytes.U16(static_cast<uint16_t>(colors.size()));
    for (const TLuminosityPair& pair : colors) {
        AppendAcoColor(bytes, pair.Value);
        const std::u16string name = HexName(pair.Value);
        bytes.U32(static_cast<uint32_t>(name.size() + 1));
        bytes.Utf16(name);
        bytes.WriteTo(writer);
    }
    bytes.WriteTo(writer);
}
