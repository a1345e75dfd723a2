// Code pages on Windows, through the system's own conversion tables.
#include <windows.h>

#include "platform/codepage.h"
#include "platform/win32/text.h"

namespace promptella {

unsigned ansiCodePage() {
  return GetACP();
}

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
  return codePage == kCodePageUtf8 ? std::string(utf8) : narrow(widen(utf8), codePage);
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
  return codePage == kCodePageUtf8 ? std::string(bytes) : narrow(widen(bytes, codePage));
}

}  // namespace promptella
