// Fuzzes the batch composition: whatever the six texts hold, the file has exactly one line for
// line1 and one for each other text that is not empty, and no line break anywhere else.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/batch_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr unsigned kCodePages[] = {437, 850, 1252, 65001};
  const unsigned codePage = kCodePages[data[0] % 4];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The texts are the input cut at the unit separator (0x1F).
  promptella::BatchLines lines{};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto cut = rest.find('\x1f');
    lines[i] = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  std::size_t expected = 1;
  for (std::size_t i = 1; i < lines.size(); ++i) expected += lines[i].empty() ? 0 : 1;

  const std::string bytes = promptella::composeBatch(lines, codePage);
  std::size_t found = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      ++found;
      ++i;
    } else if (bytes[i] == '\r' || bytes[i] == '\n') {
      std::abort();  // a break that would start another line
    }
  }
  if (found != expected) std::abort();
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) std::abort();
  return 0;
}
