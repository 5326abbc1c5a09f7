#pragma once
// Byte-to-text conversions of the network code. Text is UTF-8 throughout;
// every decoder turns bytes it cannot map into U+FFFD, so its result is
// always valid UTF-8.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using TBytes = std::span<const uint8_t>;

void AppendUTF8(std::string& text, char32_t codePoint);

// US-ASCII as the transport uses it: bytes up to 127 keep their code,
// every other byte becomes U+FFFD.
std::string DecodeUSASCII(TBytes bytes);
// Characters up to 127 become their byte, every other character "?".
std::vector<uint8_t> EncodeUSASCII(std::string_view text);

// Each byte becomes the character of the same code (0-255).
std::string DecodeLatin1(TBytes bytes);
std::string DecodeUTF8(TBytes bytes);
// An odd last byte becomes U+FFFD, as does a surrogate without its partner.
std::string DecodeUTF16(TBytes bytes, bool bigEndian);

// Decodes through the system's converters; nothing when the system does not
// know the character set.
std::optional<std::string> DecodeWithIconv(TBytes bytes, const std::string& charset);
