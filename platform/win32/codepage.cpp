// Code pages on Windows, through the system's own conversion tables.
#include <windows.h>

#include "platform/codepage.h"
#include "platform/win32/text.h"

namespace promptella {

unsigned ansiCodePage() {
  return GetACP();
}

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
  if (codePage == kCodePageUtf8) return std::string(utf8);
  const std::wstring wide = widen(utf8);
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  // Never a look-alike: best fit would turn a fullwidth ＆ into the interpreter's own &. What the
  // code page lacks becomes the default character. Some code pages (the ISO 2022 and UTF-7 ones)
  // take no flags.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int size =
      WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (size == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    size =
        WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  }
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), wideLength, out.data(), size, nullptr, nullptr);
  return out;
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
  if (codePage == kCodePageUtf8) return std::string(bytes);
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
  return narrow(wide);
}

}  // namespace promptella
