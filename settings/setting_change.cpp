// A change to the settings, and the files that keep changes for the next start.
#include "settings/setting_change.h"

#include <algorithm>
#include <random>

#include "platform/codepage.h"
#include "platform/files.h"

namespace promptella {
namespace {

constexpr std::string_view kKeptSuffix = ".pending";
constexpr std::string_view kEndSection = "End";

std::string changeSection(std::size_t i) {
  return "Change" + std::to_string(i);
}

// A whole decimal number of at most six digits.
std::optional<std::size_t> wholeNumber(const std::optional<std::string>& text) {
  if (!text || text->empty() || text->size() > 6 ||
      text->find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoul(*text);
}

}  // namespace

std::vector<std::string> SettingChange::texts() const {
  if (kind == Kind::set) return {setting.section, setting.key, value};
  if (kind == Kind::addToList) return {setting.section, value};
  return {};
}

bool SettingChange::apply(IniDocument& document, unsigned cp) const {
  const std::string name = utf8ToCodePage(setting.section, cp);
  if (kind != Kind::addToList && onlyOverBefore) {
    const auto now = document.get(name, utf8ToCodePage(setting.key, cp));
    const auto replaced = before ? std::optional(utf8ToCodePage(*before, cp)) : std::nullopt;
    if (now != replaced) return false;  // a newer change stands
  }
  if (kind == Kind::set) {
    return document.set(name, utf8ToCodePage(setting.key, cp), utf8ToCodePage(value, cp));
  }
  if (kind == Kind::removeKey) return document.removeKey(name, utf8ToCodePage(setting.key, cp));
  const std::string added = utf8ToCodePage(value, cp);
  std::vector<std::string> list;
  for (std::size_t i = 0;; ++i) {
    auto entry = document.get(name, numberedKey(i));
    if (!entry) break;
    if (*entry == added) return false;  // there already: the order stays
    list.push_back(std::move(*entry));
  }
  list.insert(list.begin(), added);
  if (list.size() > limit) list.pop_back();
  bool changed = document.removeSection(name);
  for (std::size_t i = 0; i < list.size(); ++i) {
    changed = document.set(name, numberedKey(i), list[i]) || changed;
  }
  return changed;
}

std::vector<std::filesystem::path> keptChangesFiles(const std::filesystem::path& settingsFile) {
  const std::string base = pathToUtf8(settingsFile.filename());
  const std::filesystem::path folder = settingsFile.parent_path();
  std::vector<std::filesystem::path> files;
  const std::filesystem::path earlier = folder / pathFromUtf8(base + std::string(kKeptSuffix));
  if (fileStamp(earlier)) files.push_back(earlier);
  // "<settings>.<number>.pending": the numbers grow with the time they were made.
  std::vector<std::string> names = filesNamed(folder, base + ".", kKeptSuffix);
  std::erase_if(names, [&](const std::string& name) {
    const std::string middle =
        name.substr(base.size() + 1, name.size() - base.size() - 1 - kKeptSuffix.size());
    return middle.empty() || middle.find_first_not_of("0123456789") != std::string::npos;
  });
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  for (const std::string& name : names) files.push_back(folder / pathFromUtf8(name));
  return files;
}

std::filesystem::path newKeptChangesFile(const std::filesystem::path& settingsFile) {
  // The time first, so that names sort in the order made; a random tail for copies that end
  // in the same moment.
  const std::string base = pathToUtf8(settingsFile);
  for (;;) {
    const std::string number =
        std::to_string(fileClockNow()) + std::to_string(std::random_device{}() % 900000 + 100000);
    const std::filesystem::path name = pathFromUtf8(base + "." + number + std::string(kKeptSuffix));
    if (!fileStamp(name)) return name;
  }
}

std::filesystem::path setAsideName(const std::filesystem::path& keptFile) {
  return std::filesystem::path(keptFile) += ".bad";
}

std::optional<std::string> keptChangesText(const std::vector<SettingChange>& changes) {
  IniDocument kept = IniDocument::parse(
      "; What Promptella could not save before it ended. The next start saves each change where\r\n"
      "; the settings still hold what it replaced (Before), and then removes this file.\r\n");
  bool set = true;
  const auto put = [&](std::string_view section, std::string_view key, std::string_view value) {
    set = kept.set(section, key, value) && set;
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const SettingChange& change = changes[i];
    const std::string name = changeSection(i);
    put(name, "Kind", std::to_string(static_cast<int>(change.kind)));
    put(name, "Section", change.setting.section);
    put(name, "What", change.setting.what);
    if (change.kind != SettingChange::Kind::addToList) {
      put(name, "Key", change.setting.key);
      put(name, change.before ? "Before" : "BeforeAbsent", change.before.value_or("1"));
    }
    if (change.kind != SettingChange::Kind::removeKey) put(name, "Value", change.value);
    if (change.kind == SettingChange::Kind::addToList) {
      put(name, "Limit", std::to_string(change.limit));
    }
  }
  put(kEndSection, "Count", std::to_string(changes.size()));
  if (!set) return std::nullopt;
  return kept.serialize();
}

std::optional<std::vector<SettingChange>> parseKeptChanges(std::string_view text,
                                                           bool earlierForm) {
  const IniDocument kept = IniDocument::parse(text);
  // The earlier form has no count: its changes run up to the first section that is not there.
  const std::optional<std::size_t> total = wholeNumber(kept.get(kEndSection, "Count"));
  if (!earlierForm && !total) return std::nullopt;
  std::vector<SettingChange> changes;
  for (std::size_t i = 0; earlierForm || i < *total; ++i) {
    const std::string name = changeSection(i);
    const auto kind = kept.get(name, "Kind");
    if (earlierForm && !kind) break;
    if (kind != "0" && kind != "1" && kind != "3") return std::nullopt;
    SettingChange change{static_cast<SettingChange::Kind>((*kind)[0] - '0'), {}, {}};
    const auto section = kept.get(name, "Section"), key = kept.get(name, "Key");
    const auto what = kept.get(name, "What"), value = kept.get(name, "Value");
    const bool list = change.kind == SettingChange::Kind::addToList;
    if (!section || !what || (!list && !key)) return std::nullopt;
    change.setting = {*section, list ? std::string() : *key, *what};
    if (change.kind != SettingChange::Kind::removeKey) {
      if (!value) return std::nullopt;
      change.value = *value;
    }
    if (list) {
      const auto limit = wholeNumber(kept.get(name, "Limit"));
      if (!limit) return std::nullopt;
      change.limit = *limit;
    } else if (!earlierForm) {
      change.before = kept.get(name, "Before");
      if (!change.before && kept.get(name, "BeforeAbsent") != "1") return std::nullopt;
      change.onlyOverBefore = true;
    }
    changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace promptella
