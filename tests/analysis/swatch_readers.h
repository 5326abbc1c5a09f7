#pragma once
// Readers of the palette formats, written from each format's published
// description rather than from our writers, so that a test reading a file
// back checks the file against the format and not against itself. Each
// returns what it read or fails the current test through ADD_FAILURE.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace swatch_readers {

struct TRgb {
    int Red = -1, Green = -1, Blue = -1, Alpha = 255;
    std::string Name;
    bool operator==(const TRgb& o) const {
        return Red == o.Red && Green == o.Green && Blue == o.Blue && Alpha == o.Alpha;
    }
};

inline std::vector<std::string> Lines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t next = text.find(end, at);
        if (next == std::string::npos) {
            ADD_FAILURE() << "last line lacks its ending";
            break;
        }
        lines.push_back(text.substr(at, next - at));
        at = next + end.size();
    }
    return lines;
}

// Text palette: magic line, optional Name:/Columns: lines, '#' comments,
// then "R G B [name]" with whitespace between.
inline std::vector<TRgb> ReadGpl(const std::string& text, std::string* name = nullptr) {
    std::vector<TRgb> colors;
    const auto lines = Lines(text, "\n");
    if (lines.empty() || lines[0] != "GIMP Palette") {
        ADD_FAILURE() << "no magic line";
        return colors;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("Name: ", 0) == 0) {
            if (name) *name = line.substr(6);
            continue;
        }
        if (line.rfind("Columns: ", 0) == 0 || line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        TRgb rgb;
        fields >> rgb.Red >> rgb.Green >> rgb.Blue;
        std::getline(fields >> std::ws, rgb.Name);
        if (!fields && !fields.eof()) ADD_FAILURE() << "bad line " << line;
        colors.push_back(rgb);
    }
    return colors;
}

inline std::vector<TRgb> ReadPal(const std::string& text) {
    std::vector<TRgb> colors;
    const auto lines = Lines(text, "\r\n");
    if (lines.size() < 3 || lines[0] != "JASC-PAL" || lines[1] != "0100") {
        ADD_FAILURE() << "bad header";
        return colors;
    }
    const size_t count = std::stoul(lines[2]);
    EXPECT_EQ(lines.size(), count + 3);
    for (size_t i = 3; i < lines.size(); ++i) {
        std::istringstream fields(lines[i]);
        TRgb rgb;
        fields >> rgb.Red >> rgb.Green >> rgb.Blue;
        colors.push_back(rgb);
    }
    return colors;
}

inline std::vector<TRgb> ReadHex(const std::string& text) {
    std::vector<TRgb> colors;
    for (const std::string& line : Lines(text, "\n")) {
        if (line.size() != 6 && line.size() != 8) ADD_FAILURE() << "bad line " << line;
        TRgb rgb;
        rgb.Red = std::stoi(line.substr(0, 2), nullptr, 16);
        rgb.Green = std::stoi(line.substr(2, 2), nullptr, 16);
        rgb.Blue = std::stoi(line.substr(4, 2), nullptr, 16);
        if (line.size() == 8) {
            rgb.Alpha = std::stoi(line.substr(6, 2), nullptr, 16);
            EXPECT_NE(rgb.Alpha, 255) << "opaque colours carry no alpha digits";
        }
        colors.push_back(rgb);
    }
    return colors;
}

class TBigEndianReader {
public:
    explicit TBigEndianReader(const std::string& bytes) : FBytes(bytes) {}
    uint32_t U8() {
        if (FAt >= FBytes.size()) {
            FOverrun = true;
            return 0;
        }
        return static_cast<uint8_t>(FBytes[FAt++]);
    }
    uint32_t U16() { return U8() << 8 | U8(); }
    uint32_t U32() { return U16() << 16 | U16(); }
    float F32() {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    std::u16string Utf16(size_t units) {
        std::u16string text;
        for (size_t i = 0; i < units; ++i) text += static_cast<char16_t>(U16());
        return text;
    }
    size_t At() const { return FAt; }
    bool AtEnd() const { return FAt == FBytes.size(); }
    bool Overrun() const { return FOverrun; }

private:
    const std::string& FBytes;
    size_t FAt = 0;
    bool FOverrun = false;
};

inline std::string Ascii(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) out += unit < 0x80 ? static_cast<char>(unit) : '?';
    return out;
}

// Swatch exchange: "ASEF", version 1.0, block count, then blocks of type,
// length and body; a colour entry holds its UTF-16 name (length counts the
// terminating zero), the model, the values and the colour type.
inline std::vector<TRgb> ReadAse(const std::string& bytes) {
    std::vector<TRgb> colors;
    TBigEndianReader in(bytes);
    EXPECT_EQ(bytes.substr(0, 4), "ASEF");
    in.U32();
    EXPECT_EQ(in.U16(), 1u);
    EXPECT_EQ(in.U16(), 0u);
    const uint32_t blocks = in.U32();
    for (uint32_t b = 0; b < blocks && !in.Overrun(); ++b) {
        EXPECT_EQ(in.U16(), 0x0001u) << "colour entry";
        const uint32_t length = in.U32();
        const size_t start = in.At();
        const uint32_t nameUnits = in.U16();
        std::u16string name = in.Utf16(nameUnits);
        EXPECT_EQ(int(name.back()), 0);
        name.pop_back();
        const std::string model = {char(in.U8()), char(in.U8()), char(in.U8()), char(in.U8())};
        EXPECT_EQ(model, "RGB ");
        TRgb rgb;
        rgb.Red = static_cast<int>(std::lround(in.F32() * 255));
        rgb.Green = static_cast<int>(std::lround(in.F32() * 255));
        rgb.Blue = static_cast<int>(std::lround(in.F32() * 255));
        EXPECT_EQ(in.U16(), 0u) << "global colour";
        EXPECT_EQ(in.At() - start, length);
        rgb.Name = Ascii(name);
        colors.push_back(rgb);
    }
    EXPECT_TRUE(in.AtEnd() && !in.Overrun());
    return colors;
}

// Colour swatches: a version 1 section (count, then colour space and four
// 16-bit values per colour) followed by a version 2 section that repeats
// the colours, each with a UTF-16 name after a 32-bit length.
inline std::vector<TRgb> ReadAco(const std::string& bytes) {
    TBigEndianReader in(bytes);
    std::vector<TRgb> first, second;
    for (int version = 1; version <= 2; ++version) {
        EXPECT_EQ(in.U16(), uint32_t(version));
        const uint32_t count = in.U16();
        auto& list = version == 1 ? first : second;
        for (uint32_t i = 0; i < count && !in.Overrun(); ++i) {
            EXPECT_EQ(in.U16(), 0u) << "RGB space";
            TRgb rgb;
            rgb.Red = static_cast<int>(in.U16() / 257);
            rgb.Green = static_cast<int>(in.U16() / 257);
            rgb.Blue = static_cast<int>(in.U16() / 257);
            in.U16();
            if (version == 2) {
                std::u16string name = in.Utf16(in.U32());
                EXPECT_EQ(int(name.back()), 0);
                name.pop_back();
                rgb.Name = Ascii(name);
            }
            list.push_back(rgb);
        }
    }
    EXPECT_TRUE(in.AtEnd() && !in.Overrun());
    EXPECT_EQ(first, second);
    return second;
}

inline std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(text, "\n")) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        std::string field;
        while (std::getline(in, field, ',')) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// A strict JSON reader (RFC 8259): any deviation fails the test.
struct TJson {
    std::variant<std::nullptr_t, bool, double, std::string, std::vector<TJson>, std::map<std::string, TJson>> Value;
    const TJson& operator[](const std::string& key) const {
        static const TJson missing;
        const auto* object = std::get_if<std::map<std::string, TJson>>(&Value);
        if (!object || !object->count(key)) return missing;
        return object->at(key);
    }
    const std::vector<TJson>& Array() const {
        static const std::vector<TJson> none;
        const auto* array = std::get_if<std::vector<TJson>>(&Value);
        return array ? *array : none;
    }
    double Number() const { return std::holds_alternative<double>(Value) ? std::get<double>(Value) : -1; }
    std::string Text() const { return std::holds_alternative<std::string>(Value) ? std::get<std::string>(Value) : ""; }
};

class TJsonReader {
public:
    explicit TJsonReader(const std::string& text) : FText(text) {}
    TJson Document() {
        TJson value = Read();
        Space();
        if (FAt != FText.size()) Fail("text after the value");
        return value;
    }
    bool Failed() const { return FFailed; }

private:
    void Fail(const std::string& why) {
        if (!FFailed) ADD_FAILURE() << "JSON: " << why << " at " << FAt;
        FFailed = true;
        FAt = FText.size();
    }
    void Space() {
        while (FAt < FText.size() && std::string(" \t\r\n").find(FText[FAt]) != std::string::npos) ++FAt;
    }
    bool Take(char c) {
        Space();
        if (FAt < FText.size() && FText[FAt] == c) {
            ++FAt;
            return true;
        }
        return false;
    }
    TJson Read() {
        Space();
        if (FAt >= FText.size()) {
            Fail("value expected");
            return {};
        }
        const char c = FText[FAt];
        if (c == '{') return Object();
        if (c == '[') return Array();
        if (c == '"') return {String()};
        for (const char* word : {"true", "false", "null"})
            if (FText.compare(FAt, std::strlen(word), word) == 0) {
                FAt += std::strlen(word);
                if (word[0] == 'n') return {nullptr};
                return {word[0] == 't'};
            }
        return Number();
    }
    TJson Object() {
        std::map<std::string, TJson> object;
        ++FAt;
        if (Take('}')) return {object};
        do {
            Space();
            if (FAt >= FText.size() || FText[FAt] != '"') Fail("key expected");
            const std::string key = String();
            if (!Take(':')) Fail("':' expected");
            object[key] = Read();
        } while (Take(','));
        if (!Take('}')) Fail("'}' expected");
        return {object};
    }
    TJson Array() {
        std::vector<TJson> array;
        ++FAt;
        if (Take(']')) return {array};
        do array.push_back(Read());
        while (Take(','));
        if (!Take(']')) Fail("']' expected");
        return {array};
    }
    TJson Number() {
        const size_t start = FAt;
        if (FAt < FText.size() && FText[FAt] == '-') ++FAt;
        const size_t digits = FAt;
        while (FAt < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FAt]))) ++FAt;
        if (FAt == digits || (FText[digits] == '0' && FAt - digits > 1)) Fail("bad number");
        if (FAt < FText.size() && FText[FAt] == '.') {
            const size_t fraction = ++FAt;
            while (FAt < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FAt]))) ++FAt;
            if (FAt == fraction) Fail("bad fraction");
        }
        return {std::stod(FText.substr(start, FAt - start))};
    }
    static void Utf8(std::string& out, uint32_t code) {
        if (code < 0x80)
            out += char(code);
        else if (code < 0x800)
            out += {char(0xC0 | code >> 6), char(0x80 | (code & 63))};
        else
            out += {char(0xE0 | code >> 12), char(0x80 | ((code >> 6) & 63)), char(0x80 | (code & 63))};
    }
    std::string String() {
        std::string out;
        ++FAt;
        while (FAt < FText.size() && FText[FAt] != '"') {
            const unsigned char c = static_cast<unsigned char>(FText[FAt++]);
            if (c < 0x20) Fail("raw control character in a string");
            if (c != '\\') {
                out += char(c);
                continue;
            }
            const char e = FText[FAt++];
            const std::string simple = "\"\\/bfnrt";
            const std::string meaning = "\"\\/\b\f\n\r\t";
            if (simple.find(e) != std::string::npos)
                out += meaning[simple.find(e)];
            else if (e == 'u') {
                Utf8(out, static_cast<uint32_t>(std::stoul(FText.substr(FAt, 4), nullptr, 16)));
                FAt += 4;
            } else
                Fail("bad escape");
        }
        if (FAt >= FText.size()) Fail("unterminated string");
        ++FAt;
        return out;
    }

    const std::string& FText;
    size_t FAt = 0;
    bool FFailed = false;
};

// True when the bytes are well-formed UTF-8 (RFC 3629).
inline bool IsUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80                   ? 0
                       : (c >= 0xC2 && c <= 0xDF) ? 1
                       : (c >= 0xE0 && c <= 0xEF) ? 2
                       : (c >= 0xF0 && c <= 0xF4) ? 3
                                                  : 9;
        if (extra == 9 || i + extra >= text.size() + (extra == 0)) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        const unsigned char d = extra ? static_cast<unsigned char>(text[i + 1]) : 0;
        if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) || (c == 0xF4 && d >= 0x90))
            return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace swatch_readers
