// Text at the Win32 boundary: a code page's bytes (UTF-8 unless said) <-> UTF-16, and the system's
// words for an error.
#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace promptella {

// Text of `codePage` (UTF-8 unless said) to UTF-16 and back. What the code page lacks becomes its
// default character, never a look-alike.
std::wstring widen(std::string_view bytes, unsigned codePage = kCodePageUtf8);
std::string narrow(std::wstring_view wide, unsigned codePage = kCodePageUtf8);

// The system's own words for an error code, such as "Access is denied."
std::string systemErrorText(unsigned long code);

}  // namespace promptella
