// Reading the character set that an HTML or XML body declares itself.
#include <string_view>

#include "net/text/charset.h"
#include "net/text/strings.h"

namespace {

bool IsSpace(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\n' || character == '\f';
}

std::string_view AsText(TBytes body) { return {reinterpret_cast<const char*>(body.data()), body.size()}; }

// The position of needle in text from start, without regard to case.
size_t FindText(std::string_view text, std::string_view needle, size_t start) {
    for (size_t position = start; position + needle.size() <= text.size(); ++position)
        if (SameText(text.substr(position, needle.size()), needle)) return position;
    return std::string_view::npos;
}

// Reads one attribute of a tag at position; false at the tag's end.
bool NextAttribute(std::string_view text, size_t& position, std::string& name, std::string& value) {
    while (position < text.size() && (IsSpace(text[position]) || text[position] == '/')) ++position;
    if (position >= text.size() || text[position] == '>') return false;
    const size_t nameStart = position;
    while (position < text.size() && !IsSpace(text[position]) && text[position] != '=' && text[position] != '>')
        ++position;
    name = LowerCase(text.substr(nameStart, position - nameStart));
    value.clear();
    while (position < text.size() && IsSpace(text[position])) ++position;
    if (position >= text.size() || text[position] != '=') return true;
    ++position;
    while (position < text.size() && IsSpace(text[position])) ++position;
    if (position < text.size() && (text[position] == '"' || text[position] == '\'')) {
        const char quote = text[position++];
        const size_t end = text.find(quote, position);
        value = text.substr(position, end == std::string_view::npos ? std::string_view::npos : end - position);
        position = end == std::string_view::npos ? text.size() : end + 1;
    } else {
        const size_t valueStart = position;
        while (position < text.size() && !IsSpace(text[position]) && text[position] != '>') ++position;
        value = text.substr(valueStart, position - valueStart);
    }
    return true;
}

void ReadMetaElement(std::string_view text, size_t position, THtmlDeclarations& declarations) {
    std::string name, value, httpEquiv, content, charSet;
    while (NextAttribute(text, position, name, value)) {
        if (name == "http-equiv")
            httpEquiv = value;
        else if (name == "content")
            content = value;
        else if (name == "charset")
            charSet = value;
    }
    if (!httpEquiv.empty()) {
        declarations.Headers.emplace_back(httpEquiv, content);
        if (SameText(httpEquiv, "Content-Type") && charSet.empty()) charSet = CharSetParameter(content).value_or("");
    }
    if (declarations.CharSet.empty()) declarations.CharSet = std::string(TrimBlanks(charSet));
}

}  // namespace

THtmlDeclarations ReadHtmlDeclarations(TBytes body) {
    const std::string_view text = AsText(body);
    THtmlDeclarations declarations;
    for (size_t position = FindText(text, "<meta", 0); position != std::string_view::npos;
         position = FindText(text, "<meta", position + 5)) {
        const size_t after = position + 5;
        if (after < text.size() && (IsSpace(text[after]) || text[after] == '/'))
            ReadMetaElement(text, after, declarations);
    }
    return declarations;
}

std::string ReadXmlEncoding(TBytes body) {
    std::string_view text = AsText(body);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.substr(0, 5) != "<?xml") return {};
    text = text.substr(0, text.find("?>"));
    size_t position = text.find("encoding");
    if (position == std::string_view::npos) return {};
    position += 8;
    while (position < text.size() && IsSpace(text[position])) ++position;
    if (position >= text.size() || text[position] != '=') return {};
    ++position;
    while (position < text.size() && IsSpace(text[position])) ++position;
    if (position >= text.size() || (text[position] != '"' && text[position] != '\'')) return {};
    const char quote = text[position++];
    const size_t end = text.find(quote, position);
    if (end == std::string_view::npos) return {};
    return std::string(text.substr(position, end - position));
}
