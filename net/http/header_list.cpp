#include "net/http/header_list.h"

#include <cstddef>

#include "net/text/strings.h"

namespace {

bool IsContinuation(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

}  // namespace

size_t TIdHeaderList::Find(const std::string& name) const {
    for (size_t index = 0; index < FLines.size(); ++index) {
        const std::string& line = FLines[index];
        if (IsContinuation(line)) continue;
        const size_t colon = line.find(':');
        if (colon != std::string::npos && SameText(TrimBlanks(std::string_view(line).substr(0, colon)), name))
            return index;
    }
    return FLines.size();
}

size_t TIdHeaderList::EndOfEntry(size_t index) const {
    ++index;
    while (index < FLines.size() && IsContinuation(FLines[index])) ++index;
    return index;
}

std::string TIdHeaderList::Values(const std::string& name) const {
    const size_t index = Find(name);
    if (index == FLines.size()) return {};
    const std::string& line = FLines[index];
    std::string value(TrimBlanks(std::string_view(line).substr(line.find(':') + 1)));
    for (size_t next = index + 1; next < EndOfEntry(index); ++next) {
        value += ' ';
        value += TrimBlanks(FLines[next]);
    }
    return value;
}

void TIdHeaderList::SetValues(const std::string& name, const std::string& value) {
    const size_t index = Find(name);
    if (index == FLines.size()) {
        if (!value.empty()) AddValue(name, value);
        return;
    }
    const auto first = FLines.begin() + static_cast<ptrdiff_t>(index);
    FLines.erase(first + 1, FLines.begin() + static_cast<ptrdiff_t>(EndOfEntry(index)));
    if (value.empty())
        FLines.erase(first);
    else
        *first = name + ": " + value;
}
