// Fuzzes the settings engine: whatever a file holds, the keys read from it, written into a new
// file and read back, give the same values.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ini_document.h"

namespace {

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\v\f");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\v\f") - first + 1));
}

// The sections and keys that the text's lines name ("[name]", "key=value"); a name the document
// reads otherwise only finds no value.
std::vector<std::pair<std::string, std::string>> namedKeys(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    const auto equals = line.find('=');
    if (!line.empty() && line.front() == '[') {
      section = trimmed(std::string_view(line).substr(1, line.rfind(']') - 1));
    } else if (equals != std::string::npos && line.front() != ';') {
      keys.emplace_back(section, trimmed(std::string_view(line).substr(0, equals)));
    }
  }
  return keys;
}

// What the writer must refuse or clean cannot round-trip: a section without a name, a ']' in a
// section name, a lone CR inside a hand-written line (no line break ever enters a name or value).
bool writable(const std::string& section, const std::string& key, const std::string& value) {
  if (section.empty() || section.find(']') != std::string::npos) return false;
  return (section + key + value).find('\r') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using promptella::IniDocument;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const IniDocument parsed = IniDocument::parse(input);
  const auto keys = namedKeys(input);

  IniDocument written = IniDocument::parse("");
  for (const auto& [section, key] : keys) {
    // A value set the same again changes nothing; the reread below checks every one.
    const auto value = parsed.get(section, key);
    if (value && writable(section, key, *value)) {
      static_cast<void>(written.set(section, key, *value));
    }
  }
  const IniDocument reread = IniDocument::parse(written.serialize());

  for (const auto& [section, key] : keys) {
    const auto value = parsed.get(section, key);
    if (!value || !writable(section, key, *value)) continue;
    if (reread.get(section, key) != value) std::abort();
  }
  // Serialising is stable: what was written reads back to the same text.
  if (IniDocument::parse(reread.serialize()).serialize() != reread.serialize()) std::abort();
  return 0;
}
