// The settings file's four operations over the INI engine.
#include "settings/ini_file.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/utf8.h"

namespace promptella {
namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";

// The file's text as the document works on it, and the code page of that text: a file that
// starts with a UTF-16 LE byte-order mark is Unicode (held as UTF-8), any other is ANSI.
struct Decoded {
  std::string text;
  unsigned codePage;
};
Decoded decode(std::string bytes) {
  if (std::string_view(bytes).substr(0, 2) == kUtf16Bom) {
    return {utf16leToUtf8(std::string_view(bytes).substr(2)), kCodePageUtf8};
  }
  return {std::move(bytes), ansiCodePage()};
}

std::string encode(const std::string& text, unsigned codePage) {
  if (codePage != kCodePageUtf8) return text;
  return std::string(kUtf16Bom) + utf8ToUtf16le(text);
}

}  // namespace

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
    Decoded decoded = decode(*bytes);
    cached_ = IniDocument::parse(decoded.text);
    cachedCodePage_ = decoded.codePage;
    cachedBytes_ = std::move(*bytes);
    ++parses_;
  }
  cachedStamp_ = stamp;
  stampSettled_ = stamp->writeTime + 3 * kFileClockTicksPerSecond < fileClockNow();
  return &cached_;
}

std::optional<std::string> IniFile::readValue(std::string_view section,
                                              std::string_view key) const {
  const IniDocument* document = current();
  if (!document) return std::nullopt;
  const unsigned codePage = cachedCodePage_;
  const auto value =
      document->get(utf8ToCodePage(section, codePage), utf8ToCodePage(key, codePage));
  if (!value) return std::nullopt;
  return codePageToUtf8(*value, codePage);
}

std::vector<std::string> IniFile::readNumberedValues(std::string_view section) const {
  std::vector<std::string> values;
  const IniDocument* document = current();
  if (!document) return values;
  const unsigned codePage = cachedCodePage_;
  const std::string name = utf8ToCodePage(section, codePage);
  for (std::size_t i = 0;; ++i) {
    const auto value = document->get(name, numberedKey(i));
    if (!value) return values;
    values.push_back(codePageToUtf8(*value, codePage));
  }
}

std::optional<std::string> IniFile::readForUpdate() const {
  // A scanner or backup tool may hold the file without read sharing for a moment: try again
  // for a while rather than rebuild the file from nothing.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (;;) {
    if (auto bytes = readWholeFile(path_)) return bytes;
    if (!fileStamp(path_)) return std::string();  // no file: the change starts one
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

template <typename Edit>
bool IniFile::edit(const std::vector<std::string_view>& texts, Edit&& change, bool createFile) {
  const auto lock = lockForUpdate(path_);
  if (!lock) return false;
  const auto bytes = readForUpdate();
  if (!bytes) return false;  // there, but not readable: it stays as it is
  if (bytes->empty() && !createFile && !fileStamp(path_)) return true;
  Decoded file = decode(*bytes);
  // The file stays in the ANSI code page while every text fits it, as other programs expect;
  // a text that does not makes it Unicode, as the system's own profile functions do.
  const bool fits = std::all_of(texts.begin(), texts.end(), [&](std::string_view text) {
    return file.codePage == kCodePageUtf8 || fitsCodePage(text, file.codePage);
  });
  if (!fits) file = {codePageToUtf8(file.text, file.codePage), kCodePageUtf8};
  IniDocument document = IniDocument::parse(file.text);
  if (!change(document, file.codePage)) return true;
  return replaceFileAtomically(path_, encode(document.serialize(), file.codePage));
}

bool IniFile::writeValue(std::string_view section, std::string_view key, std::string_view value) {
  return edit(
      {section, key, value},
      [&](IniDocument& document, unsigned cp) {
        return document.set(utf8ToCodePage(section, cp), utf8ToCodePage(key, cp),
                            utf8ToCodePage(value, cp));
      },
      true);
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
  return edit(
      {},
      [&](IniDocument& document, unsigned cp) {
        return document.removeKey(utf8ToCodePage(section, cp), utf8ToCodePage(key, cp));
      },
      false);
}

bool IniFile::removeSection(std::string_view section) {
  return edit(
      {},
      [&](IniDocument& document, unsigned cp) {
        return document.removeSection(utf8ToCodePage(section, cp));
      },
      false);
}

bool IniFile::rewriteNumberedSection(std::string_view section,
                                     const std::vector<std::string>& values) {
  std::vector<std::string_view> texts(values.begin(), values.end());
  texts.push_back(section);
  return edit(
      texts,
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
