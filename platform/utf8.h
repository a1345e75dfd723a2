// UTF-8 decoding and encoding shared by the code-page conversions.
#pragma once

#include <string>
#include <string_view>

namespace promptella {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one code point at `pos` and advances `pos`; a malformed sequence yields U+FFFD and
// advances by one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace promptella
