// An INI text kept as lines, read and edited the way the Windows profile functions read and edit
// it, so that files written by hand, by the system or by this program all mean the same thing.
// Works on bytes of the ANSI code page; conversion to and from UTF-8 is the caller's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace promptella {

class IniDocument {
 public:
  static IniDocument parse(std::string_view bytes);

  // The value of the first matching key in the sections of that name, with blanks around it
  // removed and one pair of enclosing quotes stripped; nothing for a missing or empty value.
  [[nodiscard]] std::optional<std::string> get(std::string_view section,
                                               std::string_view key) const;

  // Each returns whether the document changed.
  [[nodiscard]] bool set(std::string_view section, std::string_view key, std::string_view value);
  [[nodiscard]] bool removeKey(std::string_view section, std::string_view key);
  [[nodiscard]] bool removeSection(std::string_view section);

  // The text with CR LF line ends and no byte-order mark.
  std::string serialize() const;

  // How `value` is written so that `get` (and the system's reader) gives it back exactly: line
  // breaks become spaces, and a value that would lose blanks or quotes is put inside quotes.
  static std::string encodeValue(std::string_view value);

 private:
  struct Line {
    std::string text;
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string name;  // section name, or key name, trimmed
  };
  static Line classify(std::string text);
  // Index of the first line after the section header at `header` that belongs to no other
  // section, i.e. the end of that section's block.
  std::size_t blockEnd(std::size_t header) const;
  [[nodiscard]] std::optional<std::size_t> findKey(std::string_view section,
                                                   std::string_view key) const;
  // Where each key first stands, by its section and name without regard to case, so that a read
  // costs the same in a file of ten keys or ten thousand.
  void buildIndex();
  static std::string indexKey(std::string_view section, std::string_view key);

  std::vector<Line> lines_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace promptella
