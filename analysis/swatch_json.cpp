// The json palette, streamed colour by colour: a photograph's millions of
// colours never exist as one document in memory.

#include <cstring>

#include "analysis/swatch_formats.h"
#include "analysis/text_append.h"
#include "analysis/text_encoding.h"
#include "analysis/text_file_writer.h"
#include "analysis/two_decimals.h"

namespace {

constexpr size_t MaxEntryLength = 192;

char* AppendEntry(const TLuminosityPair& pair, uint64_t count, char* out) {
    const TColor32 color = pair.Value;
    out = AppendText("{\"hex\":\"#", out);
    for (uint8_t component : {RedComponent(color), GreenComponent(color), BlueComponent(color), AlphaComponent(color)})
        out = AppendHexByte(component, out);
    out = AppendText("\",\"r\":", out);
    out = AppendNumber(RedComponent(color), out);
    out = AppendText(",\"g\":", out);
    out = AppendNumber(GreenComponent(color), out);
    out = AppendText(",\"b\":", out);
    out = AppendNumber(BlueComponent(color), out);
    out = AppendText(",\"a\":", out);
    out = AppendNumber(AlphaComponent(color), out);
    out = AppendText(",\"luminosity\":", out);
    out += FormatTwoDecimals(pair.Key, ".", out);
    out = AppendText(",\"count\":", out);
    out = AppendNumber(count, out);
    *out++ = '}';
    return out;
}

std::string Head(const TSwatchSource& source) {
    std::string head = "{\"source\":";
    AppendJsonString(head, source.Path);
    head += ",\"width\":" + std::to_string(source.Width) + ",\"height\":" + std::to_string(source.Height) +
            ",\"distinct\":" + std::to_string(source.Distinct) + ",\"order\":\"" + PaletteOrderName(source.Order) +
            "\",\"colors\":[";
    return head;
}

}  // namespace

void WriteJsonSwatches(const TPixelData& colors, const TSwatchSource& source, const TColorCounts& counts,
                       TTextFileWriter& writer) {
    const std::string head = Head(source);
    writer.Write(head.data(), head.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        char* const start = writer.Room(MaxEntryLength);
        char* out = start;
        *out++ = i == 0 ? '\n' : ',';
        if (i != 0) *out++ = '\n';
        out = AppendEntry(colors[i], counts.Of(colors[i].Value), out);
        writer.Advance(static_cast<size_t>(out - start));
    }
    static const char Tail[] = "\n]}\n";
    writer.Write(Tail, sizeof Tail - 1);
}
