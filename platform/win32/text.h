// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace promptella {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// The system's own words for an error code, such as "Access is denied."
std::string systemErrorText(unsigned long code);

// The name of a kernel object (a mutex) that stands for `text` of this `kind`, the same in every
// process: "Promptella.<kind>.<hash of the text, upper-cased>".
std::wstring objectNameFor(std::wstring_view kind, std::wstring_view text);

}  // namespace promptella
