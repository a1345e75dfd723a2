// Fuzzes the settings engine: whatever a file holds, the keys read from it, written into a new
// file and read back, give the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/ini_document.h"

namespace {

// What the writer must refuse or clean cannot round-trip: a section without a name, a ']' in a
// section name, a lone CR inside a hand-written line (no line break ever enters a name or value).
bool writable(const promptella::IniDocument::Entry& entry) {
  if (entry.section.empty() || entry.section.find(']') != std::string::npos) return false;
  return (entry.section + entry.key + entry.value).find('\r') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using promptella::IniDocument;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const IniDocument parsed = IniDocument::parse(input);

  IniDocument written = IniDocument::parse("");
  for (const auto& entry : parsed.entries()) {
    // A value set the same again changes nothing; the reread below checks every one.
    if (writable(entry)) static_cast<void>(written.set(entry.section, entry.key, entry.value));
  }
  const IniDocument reread = IniDocument::parse(written.serialize());

  for (const auto& entry : parsed.entries()) {
    if (!writable(entry)) continue;
    const auto value = reread.get(entry.section, entry.key);
    if (!value || *value != entry.value) std::abort();
  }
  // Serialising is stable: what was written reads back to the same text.
  if (IniDocument::parse(reread.serialize()).serialize() != reread.serialize()) std::abort();
  return 0;
}
