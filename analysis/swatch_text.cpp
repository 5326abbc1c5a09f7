// The line-per-colour palettes: gpl, pal, hex and csv.

#include <cstring>

#include "analysis/swatch_formats.h"
#include "analysis/text_append.h"
#include "analysis/text_encoding.h"
#include "analysis/text_file_writer.h"
#include "analysis/two_decimals.h"

namespace {

constexpr size_t MaxLineLength = 160;

// Right-aligned in three columns, as palette files of this kind usually are.
char* AppendComponent3(uint8_t value, char* out) {
    if (value < 100) *out++ = ' ';
    if (value < 10) *out++ = ' ';
    return AppendNumber(value, out);
}

char* AppendRgbHex(TColor32 color, char* out) {
    out = AppendHexByte(RedComponent(color), out);
    out = AppendHexByte(GreenComponent(color), out);
    return AppendHexByte(BlueComponent(color), out);
}

template <class FormatLine>
void WriteLines(const TPixelData& colors, TTextFileWriter& writer, FormatLine formatLine) {
    for (size_t i = 0; i < colors.size(); ++i) {
        char* line = writer.Room(MaxLineLength);
        writer.Advance(static_cast<size_t>(formatLine(i, colors[i].Value, line) - line));
    }
}

// A name on one line: control characters would end it early.
std::string OneLine(std::string_view text) {
    std::string line = ValidUtf8(text);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return line;
}

}  // namespace

void WriteGplSwatches(const TPixelData& colors, const TSwatchSource& source, TTextFileWriter& writer) {
    const std::string header = "GIMP Palette\nName: " + OneLine(source.FileName) + "\nColumns: 16\n#\n";
    writer.Write(header.data(), header.size());
    WriteLines(colors, writer, [](size_t, TColor32 color, char* out) {
        out = AppendComponent3(RedComponent(color), out);
        *out++ = ' ';
        out = AppendComponent3(GreenComponent(color), out);
        *out++ = ' ';
        out = AppendComponent3(BlueComponent(color), out);
        out = AppendText("\t#", out);
        out = AppendRgbHex(color, out);
        *out++ = '\n';
        return out;
    });
}

void WritePalSwatches(const TPixelData& colors, TTextFileWriter& writer) {
    const std::string header = "JASC-PAL\r\n0100\r\n" + std::to_string(colors.size()) + "\r\n";
    writer.Write(header.data(), header.size());
    WriteLines(colors, writer, [](size_t, TColor32 color, char* out) {
        out = AppendNumber(RedComponent(color), out);
        *out++ = ' ';
        out = AppendNumber(GreenComponent(color), out);
        *out++ = ' ';
        out = AppendNumber(BlueComponent(color), out);
        return AppendText("\r\n", out);
    });
}

void WriteHexSwatches(const TPixelData& colors, TTextFileWriter& writer) {
    WriteLines(colors, writer, [](size_t, TColor32 color, char* out) {
        out = AppendRgbHex(color, out);
        if (AlphaComponent(color) != 255) out = AppendHexByte(AlphaComponent(color), out);
        *out++ = '\n';
        return out;
    });
}

void WriteCsvSwatches(const TPixelData& colors, const TColorCounts& counts, TTextFileWriter& writer) {
    static const char Header[] = "index,hex,red,green,blue,alpha,luminosity,count\n";
    writer.Write(Header, sizeof Header - 1);
    size_t index = 0;
    for (const TLuminosityPair& pair : colors) {
        char* const line = writer.Room(MaxLineLength);
        char* out = AppendNumber(index++, line);
        out = AppendText(",#", out);
        out = AppendRgbHex(pair.Value, out);
        out = AppendHexByte(AlphaComponent(pair.Value), out);
        for (uint8_t component : {RedComponent(pair.Value), GreenComponent(pair.Value), BlueComponent(pair.Value),
                                  AlphaComponent(pair.Value)}) {
            *out++ = ',';
            out = AppendNumber(component, out);
        }
        *out++ = ',';
        out += FormatTwoDecimals(pair.Key, ".", out);
        *out++ = ',';
        out = AppendNumber(counts.Of(pair.Value), out);
        *out++ = '\n';
        writer.Advance(static_cast<size_t>(out - line));
    }
}
