// INI text parsing and editing, compatible both ways with the Windows profile functions.
#include "settings/ini_document.h"

#include <algorithm>

#include "platform/utf8.h"

namespace promptella {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isQuote(char c) {
  return c == '"' || c == '\'';
}

// Section and key names may hold nothing that would end them or start another line.
std::string cleanName(std::string_view name, std::string_view forbidden) {
  std::string out(name);
  std::erase_if(out, [&](char c) {
    return c == '\r' || c == '\n' || c == '\0' || forbidden.find(c) != std::string_view::npos;
  });
  return std::string(trim(out));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return asciiLower(x) == asciiLower(y);
         });
}

}  // namespace

IniDocument::Line IniDocument::classify(std::string text) {
  Line line;
  const std::string_view body = trim(text);
  if (!body.empty() && body.front() == '[') {
    std::string_view name = body.substr(1);
    const auto close = name.rfind(']');
    if (close != std::string_view::npos) name = name.substr(0, close);
    line.kind = Line::Kind::Section;
    line.name = std::string(trim(name));
  } else if (!body.empty() && body.front() != ';') {
    const auto equals = body.find('=');
    if (equals != std::string_view::npos && !trim(body.substr(0, equals)).empty()) {
      line.kind = Line::Kind::Key;
      line.name = std::string(trim(body.substr(0, equals)));
    }
  }
  line.text = std::move(text);
  return line;
}

IniDocument IniDocument::parse(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  IniDocument doc;
  std::size_t start = 0;
  while (start < bytes.size()) {
    auto end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    // A NUL ends what the system's reader sees of a line.
    text = text.substr(0, text.find('\0'));
    doc.lines_.push_back(classify(std::string(text)));
    start = end + 1;
  }
  doc.buildIndex();
  return doc;
}

std::string IniDocument::indexKey(std::string_view section, std::string_view key) {
  // Made at every read: one allocation.
  std::string out;
  out.reserve(section.size() + key.size() + 1);
  for (const char c : section) out += asciiLower(c);
  out += '\0';
  for (const char c : key) out += asciiLower(c);
  return out;
}

void IniDocument::buildIndex() {
  index_.clear();
  std::string_view section;
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::Section) {
      section = lines_[i].name;
      inSection = true;
    } else if (lines_[i].kind == Line::Kind::Key && inSection) {
      index_.emplace(indexKey(section, lines_[i].name), i);  // the first one wins
    }
  }
}

std::size_t IniDocument::blockEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < lines_.size() && lines_[end].kind != Line::Kind::Section) ++end;
  return end;
}

std::optional<std::size_t> IniDocument::findKey(std::string_view section,
                                                std::string_view key) const {
  const auto found = index_.find(indexKey(section, key));
  if (found == index_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::string> IniDocument::get(std::string_view section, std::string_view key) const {
  const auto found = findKey(section, key);
  if (!found) return std::nullopt;
  const std::string& text = lines_[*found].text;
  std::string_view value = trim(std::string_view(text).substr(text.find('=') + 1));
  if (!value.empty() && isQuote(value.front()) && value.size() >= 2 &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.empty()) return std::nullopt;
  return std::string(value);
}

std::string IniDocument::encodeValue(std::string_view value) {
  std::string out = oneLine(value);
  const bool needsQuotes = !out.empty() && (isBlank(out.front()) || isBlank(out.back()) ||
                                            (isQuote(out.front()) && out.back() == out.front()));
  return needsQuotes ? '"' + out + '"' : out;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string cleanSection = cleanName(section, "]");
  const std::string cleanKey = cleanName(key, "=");
  if (cleanSection.empty() || cleanKey.empty()) return false;
  const std::string encoded = encodeValue(value);

  if (const auto found = findKey(cleanSection, cleanKey)) {
    std::string text = lines_[*found].name + "=" + encoded;
    if (text == lines_[*found].text) return false;
    lines_[*found] = classify(std::move(text));
    return true;  // the key stays on its line: the index holds
  }
  Line keyLine = classify(cleanKey + "=" + encoded);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::Section && equalsIgnoringCase(lines_[i].name, cleanSection)) {
      // After the section's last non-blank line, so that a blank line before the next section
      // stays where it is.
      std::size_t at = blockEnd(i);
      while (at > i + 1 && trim(lines_[at - 1].text).empty()) --at;
      const bool atEnd = at == lines_.size();
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(keyLine));
      // Appending moves no other line, so the index only gains this key.
      if (atEnd) {
        index_.emplace(indexKey(lines_[i].name, cleanKey), at);
      } else {
        buildIndex();
      }
      return true;
    }
  }
  if (!lines_.empty() && !trim(lines_.back().text).empty()) lines_.push_back(classify(""));
  lines_.push_back(classify("[" + cleanSection + "]"));
  lines_.push_back(std::move(keyLine));
  index_.emplace(indexKey(cleanSection, cleanKey), lines_.size() - 1);
  return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
  bool changed = false;
  // Every copy goes, also those behind the first in a repeated section.
  for (std::size_t i = 0; i < lines_.size();) {
    if (lines_[i].kind != Line::Kind::Section || !equalsIgnoringCase(lines_[i].name, section)) {
      ++i;
      continue;
    }
    const std::size_t end = blockEnd(i);
    for (std::size_t k = end; k-- > i + 1;) {
      if (lines_[k].kind == Line::Kind::Key && equalsIgnoringCase(lines_[k].name, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
        changed = true;
      }
    }
    i = blockEnd(i);
  }
  if (changed) buildIndex();
  return changed;
}

bool IniDocument::removeSection(std::string_view section) {
  bool changed = false;
  for (std::size_t i = 0; i < lines_.size();) {
    if (lines_[i].kind == Line::Kind::Section && equalsIgnoringCase(lines_[i].name, section)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i),
                   lines_.begin() + static_cast<std::ptrdiff_t>(blockEnd(i)));
      changed = true;
    } else {
      ++i;
    }
  }
  if (changed) buildIndex();
  return changed;
}

std::string IniDocument::serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += "\r\n";
  }
  return out;
}

}  // namespace promptella
