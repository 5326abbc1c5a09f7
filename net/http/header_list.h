#pragma once
// A list of header lines "Name: value" as received or to be sent. Names are
// matched without regard to case; a line that begins with a blank or a tab
// continues the value of the line before it.

#include <string>
#include <vector>

class TIdHeaderList {
public:
    void Add(const std::string& line) { FLines.push_back(line); }
    void AddValue(const std::string& name, const std::string& value) { Add(name + ": " + value); }
    // The value of the first line of that name, blanks at both ends removed
    // and continuation lines joined with one blank; empty when absent.
    std::string Values(const std::string& name) const;
    bool Contains(const std::string& name) const { return Find(name) != FLines.size(); }
    // Replaces the first line of that name (and its continuations), or
    // appends one when there is none; an empty value removes the line.
    void SetValues(const std::string& name, const std::string& value);

    size_t Count() const { return FLines.size(); }
    const std::string& operator[](size_t index) const { return FLines[index]; }
    const std::vector<std::string>& Lines() const { return FLines; }
    void Clear() { FLines.clear(); }

private:
    // Index of the first line of that name; Count() when there is none.
    size_t Find(const std::string& name) const;
    // Index after the continuation lines of the line at index.
    size_t EndOfEntry(size_t index) const;

    std::vector<std::string> FLines;
};
