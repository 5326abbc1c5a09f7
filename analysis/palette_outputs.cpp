#include "analysis/palette_outputs.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <future>
#include <memory>
#include <vector>
#include <langinfo.h>
#include <locale.h>

#include "analysis/text_file_writer.h"
#include "analysis/two_decimals.h"
#include "base/two_threads.h"

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

namespace {

// Lines are formatted in blocks of this many: large enough that handing a
// block to the other core costs little, small enough to keep its text
// (about 40 bytes a line) out of the way of the picture's memory.
constexpr size_t BlockLines = size_t{1} << 16;

// Into `text`, which has room for BlockLines lines; returns the bytes used.
size_t FormatBlock(const TPixelData& pixelData, size_t first, std::string_view separator, char* text) {
    const size_t last = std::min(pixelData.size(), first + BlockLines);
    size_t used = 0;
    for (size_t i = first; i < last; ++i) used += FormatLine(i, pixelData[i], separator, text + used);
    return used;
}

void WriteBlock(const TPixelData& pixelData, size_t first, std::string_view separator, TTextFileWriter& writer) {
    const size_t last = std::min(pixelData.size(), first + BlockLines);
    for (size_t i = first; i < last; ++i)
        writer.Advance(FormatLine(i, pixelData[i], separator, writer.Room(MaxLineLength)));
}

}  // namespace

void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName,
                           std::string_view decimalSeparator) {
    if (decimalSeparator.size() > MaxSeparatorLength) decimalSeparator = decimalSeparator.substr(0, MaxSeparatorLength);
    TTextFileWriter writer(fileName);
    // Two blocks at a time: the other core formats the second while this one
    // formats and writes the first; the file gets them in order, so its bytes
    // are those of a single pass. Every second block goes through the same
    // buffer, left uninitialised: each byte written out was formatted first.
    std::unique_ptr<char[]> spare;
    if (pixelData.size() > BlockLines) spare = std::make_unique_for_overwrite<char[]>(BlockLines * MaxLineLength);
    for (size_t first = 0; first < pixelData.size(); first += 2 * BlockLines) {
        std::future<size_t> next;
        const size_t second = first + BlockLines;
        if (second < pixelData.size())
            next = OnOtherThread([&pixelData, second, decimalSeparator, text = spare.get()] {
                return FormatBlock(pixelData, second, decimalSeparator, text);
            });
        WriteBlock(pixelData, first, decimalSeparator, writer);
        if (next.valid()) writer.Write(spare.get(), next.get());
    }
    writer.Commit();
}

void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName) {
    WriteLuminosityValues(pixelData, fileName, UserDecimalSeparator());
}

void WritePaletteBitmap(const TPixelData& pixelData, TStream& stream) {
    SaveRowsToStream(stream, 3, static_cast<int>(pixelData.size()),
                     [&pixelData](int y, TColor32* row) { row[0] = row[1] = row[2] = pixelData[size_t(y)].Value; });
}

void FillPaletteBitmap(const TPixelData& pixelData, TCustomBitmap32& palette) {
    palette.SetSize(3, static_cast<int>(pixelData.size()));
    TColor32* row = palette.Bits();
    for (const TLuminosityPair& pair : pixelData) {
        row[0] = row[1] = row[2] = pair.Value;
        row += 3;
    }
}
