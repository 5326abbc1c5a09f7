#include "analysis/palette_outputs.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

#include "analysis/text_file_writer.h"
#include "analysis/two_decimals.h"

std::string UserDecimalSeparator() {
    const locale_t locale = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return ".";
    const char* radix = ::nl_langinfo_l(RADIXCHAR, locale);
    std::string separator(radix != nullptr && *radix != '\0' ? radix : ".");
    ::freelocale(locale);
    return separator;
}

namespace {

constexpr size_t MaxSeparatorLength = 8;
constexpr size_t MaxLineLength = 128;

char* AppendDecimal(uint64_t number, char* out) { return out + AppendDecimalDigits(number, out); }

char* AppendText(const char* text, size_t length, char* out) {
    std::memcpy(out, text, length);
    return out + length;
}

// One line, formatted by hand: the same text as the pattern, without a locale
// look-up or a format parse per line.
size_t FormatLine(size_t index, const TLuminosityPair& pair, std::string_view separator, char* line) {
    char* out = AppendText("Index ", 6, line);
    out = AppendDecimal(index, out);
    out = AppendText(": ", 2, out);
    out += FormatTwoDecimals(pair.Key, separator, out);
    out = AppendText(" RGB(", 5, out);
    out = AppendDecimal(RedComponent(pair.Value), out);
    *out++ = ',';
    out = AppendDecimal(GreenComponent(pair.Value), out);
    *out++ = ',';
    out = AppendDecimal(BlueComponent(pair.Value), out);
    out = AppendText(")\r\n", 3, out);
    return static_cast<size_t>(out - line);
}

}  // namespace

void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName,
                           std::string_view decimalSeparator) {
    if (decimalSeparator.size() > MaxSeparatorLength) decimalSeparator = decimalSeparator.substr(0, MaxSeparatorLength);
    TTextFileWriter writer(fileName);
    for (size_t i = 0; i < pixelData.size(); ++i)
        writer.Advance(FormatLine(i, pixelData[i], decimalSeparator, writer.Room(MaxLineLength)));
    writer.Commit();
}

void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName) {
    WriteLuminosityValues(pixelData, fileName, UserDecimalSeparator());
}

void FillPaletteBitmap(const TPixelData& pixelData, TCustomBitmap32& palette) {
    palette.SetSize(3, static_cast<int>(pixelData.size()));
    TColor32* row = palette.Bits();
    for (const TLuminosityPair& pair : pixelData) {
        row[0] = row[1] = row[2] = pair.Value;
        row += 3;
    }
}
