#include "net/text/charset.h"

#include <string_view>

#include "net/text/strings.h"

namespace {

enum class TDecoder { UTF8, UTF16LE, UTF16BE, USASCII, Latin1, System };

struct TCharSetName {
    const char* Name;
    TDecoder Decoder;
};

// Names decoded here; every other name goes to the system's converters.
// "utf-16" without an order is read little-endian, the order in which
// unmarked UTF-16 is almost always sent, and a byte-order mark is kept as a
// character rather than obeyed.
constexpr TCharSetName KnownCharSets[] = {
    {"utf-8", TDecoder::UTF8},
    {"utf8", TDecoder::UTF8},
    {"utf-16", TDecoder::UTF16LE},
    {"utf-16le", TDecoder::UTF16LE},
    {"unicode", TDecoder::UTF16LE},
    {"ucs-2", TDecoder::UTF16LE},
    {"utf-16be", TDecoder::UTF16BE},
    {"unicodefffe", TDecoder::UTF16BE},
    {"us-ascii", TDecoder::USASCII},
    {"ascii", TDecoder::USASCII},
    {"ansi_x3.4-1968", TDecoder::USASCII},
    {"iso646-us", TDecoder::USASCII},
    {"us", TDecoder::USASCII},
    {"csascii", TDecoder::USASCII},
    {"cp367", TDecoder::USASCII},
    {"ibm367", TDecoder::USASCII},
    {"iso-8859-1", TDecoder::Latin1},
    {"iso_8859-1", TDecoder::Latin1},
    {"iso8859-1", TDecoder::Latin1},
    {"latin1", TDecoder::Latin1},
    {"l1", TDecoder::Latin1},
    {"cp819", TDecoder::Latin1},
    {"ibm819", TDecoder::Latin1},
    {"csisolatin1", TDecoder::Latin1},
};

// Names handed to the system are plain: no paths, no conversion options.
bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (const char character : name) {
        const bool letterOrDigit = (character >= 'a' && character <= 'z') || (character >= '0' && character <= '9');
        if (!letterOrDigit && std::string_view("-_.:+()").find(character) == std::string_view::npos) return false;
    }
    return true;
}

std::string Unquoted(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(TrimBlanks(text));
}

std::string DefaultCharSet(const std::string& mediaType) {
    if (mediaType.compare(0, 5, "text/") != 0) return {};
    const std::string subtype = mediaType.substr(5);
    const bool xml = subtype == "xml" || subtype == "xml-external-parsed-entity" ||
                     (subtype.size() >= 4 && subtype.compare(subtype.size() - 4, 4, "+xml") == 0);
    return xml ? "us-ascii" : "ISO-8859-1";
}

}  // namespace

std::string MediaTypeOf(const std::string& contentType) {
    return LowerCase(TrimBlanks(std::string_view(contentType).substr(0, contentType.find(';'))));
}

namespace {

// Calls visit(part, isCharSet) for each ";"-separated part of a Content-Type
// value after trimming, the media type first.
template <typename TVisit>
void ForEachParameter(std::string_view value, TVisit visit) {
    bool first = true;
    for (;;) {
        const size_t semicolon = value.find(';');
        const std::string_view part = TrimBlanks(value.substr(0, semicolon));
        const size_t equals = part.find('=');
        const bool isCharSet =
            !first && equals != std::string_view::npos && SameText(TrimBlanks(part.substr(0, equals)), "charset");
        visit(part, isCharSet);
        if (semicolon == std::string_view::npos) return;
        value.remove_prefix(semicolon + 1);
        first = false;
    }
}

}  // namespace

std::optional<std::string> CharSetParameter(const std::string& headerValue) {
    std::optional<std::string> charSet;
    ForEachParameter(headerValue, [&](std::string_view part, bool isCharSet) {
        if (isCharSet && !charSet) charSet = Unquoted(part.substr(part.find('=') + 1));
    });
    return charSet;
}

void SplitContentType(const std::string& headerValue, std::string& contentType, std::string& charSet) {
    contentType.clear();
    ForEachParameter(headerValue, [&](std::string_view part, bool isCharSet) {
        if (isCharSet || part.empty()) return;
        if (!contentType.empty()) contentType += "; ";
        contentType += part;
    });
    const std::optional<std::string> parameter = CharSetParameter(headerValue);
    charSet = parameter ? *parameter : DefaultCharSet(MediaTypeOf(contentType));
}

std::string DecodeCharSet(TBytes body, const std::string& charSet) {
    const std::string name = LowerCase(Unquoted(charSet));
    for (const TCharSetName& known : KnownCharSets) {
        if (name != known.Name) continue;
        switch (known.Decoder) {
        case TDecoder::UTF8: return DecodeUTF8(body);
        case TDecoder::UTF16LE: return DecodeUTF16(body, false);
        case TDecoder::UTF16BE: return DecodeUTF16(body, true);
        case TDecoder::USASCII: return DecodeUSASCII(body);
        case TDecoder::Latin1:
        case TDecoder::System: return DecodeLatin1(body);
        }
    }
    if (IsPlainName(name)) {
        if (std::optional<std::string> text = DecodeWithIconv(body, name)) return *text;
    }
    return DecodeLatin1(body);
}
