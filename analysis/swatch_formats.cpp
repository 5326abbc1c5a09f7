#include "analysis/swatch_formats.h"

#include <stdexcept>

#include "analysis/text_file_writer.h"
#include "base/exception.h"

namespace {

struct TFormatName {
    TSwatchFormat Format;
    const char* Name;
};
constexpr TFormatName FormatNames[] = {
    {TSwatchFormat::Gpl, "gpl"},   {TSwatchFormat::Ase, "ase"}, {TSwatchFormat::Aco, "aco"},
    {TSwatchFormat::Pal, "pal"},   {TSwatchFormat::Hex, "hex"}, {TSwatchFormat::Csv, "csv"},
    {TSwatchFormat::Json, "json"},
};

const TColorCounts& Needed(const TColorCounts* counts) {
    if (counts == nullptr) throw std::logic_error("this palette format needs the colour counts");
    return *counts;
}

std::string GroupedThousands(size_t number) {
    std::string digits = std::to_string(number);
    for (ptrdiff_t at = static_cast<ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) digits.insert(size_t(at), ",");
    return digits;
}

}  // namespace

std::optional<TSwatchFormat> SwatchFormatFromName(std::string_view name) {
    for (const TFormatName& entry : FormatNames)
        if (name == entry.Name) return entry.Format;
    return std::nullopt;
}

const char* SwatchFormatName(TSwatchFormat format) {
    for (const TFormatName& entry : FormatNames)
        if (format == entry.Format) return entry.Name;
    return "";
}

bool SwatchFormatNeedsCounts(TSwatchFormat format) {
    return format == TSwatchFormat::Csv || format == TSwatchFormat::Json;
}

char* AppendHexByte(uint8_t byte, char* out) {
    static const char Digits[] = "0123456789abcdef";
    out[0] = Digits[byte >> 4];
    out[1] = Digits[byte & 15];
    return out + 2;
}

void WriteSwatchFile(TSwatchFormat format, const TPixelData& colors, const TSwatchSource& source,
                     const TColorCounts* counts, const std::string& fileName) {
    // Refused before the writer exists, so that nothing of the file appears.
    if (format == TSwatchFormat::Aco && colors.size() > AcoMaxColors)
        throw EConvertError("An aco file holds at most " + GroupedThousands(AcoMaxColors) +
                            " colours; this palette has " + GroupedThousands(colors.size()));
    TTextFileWriter writer(fileName);
    switch (format) {
    case TSwatchFormat::Gpl: WriteGplSwatches(colors, source, writer); break;
    case TSwatchFormat::Ase: WriteAseSwatches(colors, writer); break;
    case TSwatchFormat::Aco: WriteAcoSwatches(colors, writer); break;
    case TSwatchFormat::Pal: WritePalSwatches(colors, writer); break;
    case TSwatchFormat::Hex: WriteHexSwatches(colors, writer); break;
    case TSwatchFormat::Csv: WriteCsvSwatches(colors, Needed(counts), writer); break;
    case TSwatchFormat::Json: WriteJsonSwatches(colors, source, Needed(counts), writer); break;
    }
    writer.Commit();
}
