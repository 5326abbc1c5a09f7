#include "update/status_report.h"

namespace {

constexpr const char* Replacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr const char* Ellipsis = "\xE2\x80\xA6";     // U+2026

// Bytes of the UTF-8 sequence starting at text[at]: 1 for ASCII and for a
// stray continuation byte, so that every byte belongs to one character.
size_t SequenceLength(const std::string& text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (size_t i = 1; i < length; ++i)
        if (at + i >= text.size() || (static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
    return length;
}

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

}  // namespace

std::string ReportedStatusText(const std::string& statusText) {
    std::string report;
    size_t characters = 0;
    size_t at = 0;
    while (at < statusText.size() && characters < MaxReportedStatusLength) {
        const size_t length = SequenceLength(statusText, at);
        const auto byte = static_cast<unsigned char>(statusText[at]);
        if (byte == '\r' && at + 1 < statusText.size() && statusText[at + 1] == '\n') {
            report += "\r\n";
            at += 2;
        } else {
            report += byte == '\n' ? std::string("\n") : IsControl(byte) ? Replacement : statusText.substr(at, length);
            at += length;
        }
        ++characters;
    }
    if (at < statusText.size()) report += Ellipsis;
    return report;
}
