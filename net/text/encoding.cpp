#include "net/text/encoding.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

struct TCodePoint {
    char32_t Value;  // ReplacementCharacter when the bytes were not valid
    size_t Length;   // bytes consumed, at least 1
};

// Decodes one UTF-8 sequence at the start of bytes (not empty). Overlong
// forms, surrogates and values above U+10FFFF are invalid; an invalid
// sequence consumes one byte so that decoding resynchronises at the next.
TCodePoint NextCodePoint(TBytes bytes) {
    const uint8_t lead = bytes[0];
    if (lead < 0x80) return {lead, 1};
    size_t length;
    char32_t value;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else
        return {ReplacementCharacter, 1};
    if (bytes.size() < length) return {ReplacementCharacter, 1};
    for (size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return {ReplacementCharacter, 1};
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {ReplacementCharacter, 1};
    return {value, length};
}

// An iconv descriptor closed on every path.
class TIconv {
public:
    explicit TIconv(const std::string& from) : FHandle(iconv_open("UTF-8", from.c_str())) {}
    ~TIconv() {
        if (Valid()) iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return FHandle; }

private:
    iconv_t FHandle;
};

}  // namespace

void AppendUTF8(std::string& text, char32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string DecodeUSASCII(TBytes bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const uint8_t byte : bytes) AppendUTF8(text, byte < 0x80 ? byte : ReplacementCharacter);
    return text;
}

std::vector<uint8_t> EncodeUSASCII(std::string_view text) {
    const TBytes bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    std::vector<uint8_t> result;
    result.reserve(bytes.size());
    for (size_t position = 0; position < bytes.size();) {
        const TCodePoint next = NextCodePoint(bytes.subspan(position));
        result.push_back(next.Value < 0x80 ? static_cast<uint8_t>(next.Value) : '?');
        position += next.Length;
    }
    return result;
}

std::string DecodeLatin1(TBytes bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const uint8_t byte : bytes) AppendUTF8(text, byte);
    return text;
}

std::string DecodeUTF8(TBytes bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t position = 0; position < bytes.size();) {
        const TCodePoint next = NextCodePoint(bytes.subspan(position));
        AppendUTF8(text, next.Value);
        position += next.Length;
    }
    return text;
}

std::string DecodeUTF16(TBytes bytes, bool bigEndian) {
    auto unitAt = [&](size_t index) -> char32_t {
        const uint8_t first = bytes[index], second = bytes[index + 1];
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    std::string text;
    text.reserve(bytes.size());
    size_t position = 0;
    while (position + 1 < bytes.size()) {
        const char32_t unit = unitAt(position);
        position += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && position + 1 < bytes.size()) {
            const char32_t low = unitAt(position);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUTF8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                position += 2;
                continue;
            }
        }
        AppendUTF8(text, unit >= 0xD800 && unit <= 0xDFFF ? ReplacementCharacter : unit);
    }
    if (position < bytes.size()) AppendUTF8(text, ReplacementCharacter);
    return text;
}

std::optional<std::string> DecodeWithIconv(TBytes bytes, const std::string& charset) {
    TIconv converter(charset);
    if (!converter.Valid()) return std::nullopt;
    std::string text;
    std::string block(4096, '\0');
    char* input = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    size_t inputLeft = bytes.size();
    while (inputLeft > 0) {
        char* output = block.data();
        size_t outputLeft = block.size();
        const size_t result = iconv(converter.Handle(), &input, &inputLeft, &output, &outputLeft);
        const int error = errno;
        text.append(block.data(), block.size() - outputLeft);
        if (result != static_cast<size_t>(-1) || error == E2BIG) continue;
        AppendUTF8(text, ReplacementCharacter);
        if (error != EILSEQ) break;  // an incomplete sequence at the end
        ++input;
        --inputLeft;
    }
    return text;
}
