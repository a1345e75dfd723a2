// Text at the Win32 boundary: UTF-8 <-> UTF-16, and the system's words for an error.
#pragma once

#include <string>
#include <string_view>

namespace promptella {

// Text of `codePage` (UTF-8 unless said) to UTF-16 and back. What the code page lacks becomes its
// default character, never a look-alike.
std::wstring widen(std::string_view bytes, unsigned codePage = 65001);
std::string narrow(std::wstring_view wide, unsigned codePage = 65001);

// The system's own words for an error code, such as "Access is denied."
std::string systemErrorText(unsigned long code);

}  // namespace promptella
