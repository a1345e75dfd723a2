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
// Whether every byte of `text` belongs to a well-formed UTF-8 sequence.
[[nodiscard]] bool isUtf8(std::string_view text);

// UTF-16 LE bytes (without a byte-order mark) to UTF-8 and back; an unpaired surrogate or an odd
// last byte becomes U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf8ToUtf16le(std::string_view utf8);

// ASCII letters lower-cased, every other byte kept where it was (so positions found in the copy
// hold in the original).
constexpr char asciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

// Removes spaces (only the space character) at both ends.
inline std::string_view trimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text on one line: each line break (CR, LF) and NUL becomes a blank, for places where a
// line cannot end (a batch line, an INI value, a slot's caption).
inline std::string oneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return out;
}

}  // namespace promptella
