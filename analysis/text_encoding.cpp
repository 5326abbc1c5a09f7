#include "analysis/text_encoding.h"

#include <cstdint>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one code point at text[at]; sets length to the bytes it took (1 for
// an ill-formed byte, which decodes to Replacement).
char32_t DecodeOne(std::string_view text, size_t at, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    length = 1;
    if (lead < 0x80) return lead;
    size_t extra;
    char32_t code;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07;
        smallest = 0x10000;
    } else
        return Replacement;
    if (at + extra >= text.size()) return Replacement;
    for (size_t i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return Replacement;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return Replacement;
    length = extra + 1;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

template <class Visit>
void ForEachCodePoint(std::string_view text, Visit visit) {
    for (size_t at = 0; at < text.size();) {
        size_t length;
        visit(DecodeOne(text, at, length));
        at += length;
    }
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t code) { AppendUtf8(out, code); });
    return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
    static const char Hex[] = "0123456789abcdef";
    out += '"';
    ForEachCodePoint(text, [&](char32_t code) {
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code < 0x20 || code == 0x7F) {
            out += "\\u00";
            out += Hex[code >> 4];
            out += Hex[code & 15];
        } else {
            AppendUtf8(out, code);
        }
    });
    out += '"';
}

std::u16string Utf16Of(std::string_view text) {
    std::u16string out;
    ForEachCodePoint(text, [&](char32_t code) {
        if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    });
    return out;
}
