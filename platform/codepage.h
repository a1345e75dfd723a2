// Code-page conversion: the program keeps text as UTF-8 and converts it only where a byte format
// demands a code page (the settings file, the batch file).
#pragma once

#include <string>
#include <string_view>

namespace promptella {

inline constexpr unsigned kCodePageUtf8 = 65001;

// The system's ANSI code page (1252 on a western Windows; 1252 in native builds).
unsigned ansiCodePage();

// UTF-8 to bytes of `codePage`; a character the code page lacks becomes '?'.
std::string utf8ToCodePage(std::string_view utf8, unsigned codePage);

// Bytes of `codePage` to UTF-8.
std::string codePageToUtf8(std::string_view bytes, unsigned codePage);

// Whether `codePage` holds every character of `utf8`, so that it comes back exactly (no '?', no
// look-alike put in its place).
[[nodiscard]] inline bool fitsCodePage(std::string_view utf8, unsigned codePage) {
  return codePageToUtf8(utf8ToCodePage(utf8, codePage), codePage) == utf8;
}

}  // namespace promptella
