// Code pages in native builds: single-byte tables taken from glibc's iconv, so that tests can check
// the exact bytes that Windows would write.
#include <iconv.h>

#include <array>
#include <map>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace promptella {
namespace {

struct SingleByteTable {
  std::array<char32_t, 256> decode{};
  std::unordered_map<char32_t, unsigned char> encode;
};

const SingleByteTable& tableFor(unsigned codePage) {
  static std::mutex mutex;
  static std::map<unsigned, SingleByteTable> tables;
  std::lock_guard lock(mutex);
  auto found = tables.find(codePage);
  if (found != tables.end()) return found->second;

  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-32LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("unknown code page " + name);
  SingleByteTable table;
  for (unsigned b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[4] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = 4;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // Bytes the code page leaves undefined map to the code point of the same value, as on Windows.
    char32_t cp = b;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) {
      cp = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
    }
    table.decode[b] = cp;
    table.encode.emplace(cp, static_cast<unsigned char>(b));
  }
  iconv_close(cd);
  return tables.emplace(codePage, std::move(table)).first->second;
}

}  // namespace

unsigned ansiCodePage() {
  return 1252;
}

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
  if (codePage == kCodePageUtf8) return std::string(utf8);
  const SingleByteTable& table = tableFor(codePage);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = decodeUtf8(utf8, pos);
    const auto found = table.encode.find(cp);
    out += found != table.encode.end() ? static_cast<char>(found->second) : '?';
  }
  return out;
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
  if (codePage == kCodePageUtf8) return std::string(bytes);
  const SingleByteTable& table = tableFor(codePage);
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) appendUtf8(out, table.decode[static_cast<unsigned char>(c)]);
  return out;
}

}  // namespace promptella
