// The settings file's four operations over the INI engine.
#include "settings/ini_file.h"

#include "platform/codepage.h"
#include "platform/files.h"

namespace promptella {

std::string numberedKey(std::size_t n) {
  return "Command" + std::to_string(n);
}

const IniDocument* IniFile::current() const {
  const auto stamp = fileStamp(path_);
  if (!stamp) {
    cachedStamp_.reset();
    return nullptr;
  }
  // File times are coarse (a few milliseconds, two seconds on FAT): a file written again within
  // that time can keep its stamp. A stamp is trusted only when the file was last written well
  // before it was read; otherwise the bytes are compared, which costs a read but no parse.
  if (stamp == cachedStamp_ && stampSettled_) return &cached_;
  auto bytes = readWholeFile(path_);
  if (!bytes) return nullptr;
  if (!cachedStamp_ || *bytes != cachedBytes_) {
    cached_ = IniDocument::parse(*bytes);
    cachedBytes_ = std::move(*bytes);
    ++parses_;
  }
  cachedStamp_ = stamp;
  stampSettled_ = stamp->writeTime + 3 * kFileClockTicksPerSecond < fileClockNow();
  return &cached_;
}

std::optional<std::string> IniFile::ReadIniValue(std::string_view section,
                                                 std::string_view key) const {
  const IniDocument* document = current();
  if (!document) return std::nullopt;
  const unsigned codePage = ansiCodePage();
  const auto value =
      document->get(utf8ToCodePage(section, codePage), utf8ToCodePage(key, codePage));
  if (!value) return std::nullopt;
  return codePageToUtf8(*value, codePage);
}

std::vector<std::string> IniFile::ReadNumberedValues(std::string_view section) const {
  std::vector<std::string> values;
  const IniDocument* document = current();
  if (!document) return values;
  const unsigned codePage = ansiCodePage();
  const std::string name = utf8ToCodePage(section, codePage);
  for (std::size_t i = 0;; ++i) {
    const auto value = document->get(name, numberedKey(i));
    if (!value) return values;
    values.push_back(codePageToUtf8(*value, codePage));
  }
}

template <typename Edit>
bool IniFile::edit(Edit&& change, bool createFile) {
  const auto bytes = readWholeFile(path_);
  if (!bytes && !createFile) return !fileStamp(path_);
  IniDocument document = IniDocument::parse(bytes.value_or(std::string()));
  if (!change(document, ansiCodePage())) return true;
  return replaceFileAtomically(path_, document.serialize());
}

bool IniFile::WriteIniValue(std::string_view section, std::string_view key,
                            std::string_view value) {
  return edit(
      [&](IniDocument& document, unsigned cp) {
        return document.set(utf8ToCodePage(section, cp), utf8ToCodePage(key, cp),
                            utf8ToCodePage(value, cp));
      },
      true);
}

bool IniFile::DeleteIniKey(std::string_view section, std::string_view key) {
  return edit(
      [&](IniDocument& document, unsigned cp) {
        return document.removeKey(utf8ToCodePage(section, cp), utf8ToCodePage(key, cp));
      },
      false);
}

bool IniFile::DeleteIniSection(std::string_view section) {
  return edit([&](IniDocument& document,
                  unsigned cp) { return document.removeSection(utf8ToCodePage(section, cp)); },
              false);
}

bool IniFile::RewriteNumberedSection(std::string_view section,
                                     const std::vector<std::string>& values) {
  return edit(
      [&](IniDocument& document, unsigned cp) {
        const std::string name = utf8ToCodePage(section, cp);
        bool changed = document.removeSection(name);
        for (std::size_t i = 0; i < values.size(); ++i) {
          changed = document.set(name, numberedKey(i), utf8ToCodePage(values[i], cp)) || changed;
        }
        return changed;
      },
      !values.empty());
}

}  // namespace promptella
