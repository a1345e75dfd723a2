// Text at the Win32 boundary: UTF-8 <-> UTF-16, and the system's words for an error.
#pragma once

#include <string>
#include <string_view>

namespace promptella {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// The system's own words for an error code, such as "Access is denied."
std::string systemErrorText(unsigned long code);

}  // namespace promptella
