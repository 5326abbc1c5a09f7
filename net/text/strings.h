#pragma once
// Small text helpers of the protocol code. Header names, media types and
// character-set names are ASCII and compared without regard to case.

#include <string>
#include <string_view>

inline std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

inline char LowerCaseChar(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

inline std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& character : result) character = LowerCaseChar(character);
    return result;
}

inline bool SameText(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i)
        if (LowerCaseChar(left[i]) != LowerCaseChar(right[i])) return false;
    return true;
}
