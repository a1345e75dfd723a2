// Fuzzes the road from a command to its batch: whatever the command, the folder shown and the
// drive text, in each code page the console may read, the runner either writes a batch whose
// drive, cd and command lines read back as exactly that folder's drive, that folder (each %
// doubled, so that it names no variable) and that command, or refuses with a message and starts
// nothing. There is no third outcome.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/batch_runner.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "tests/support/fake_launcher.h"

namespace {

using namespace promptella;

// The command as a batch line holds it: the angle quotes as plain quotes, a line break or NUL as a
// space (one line of ours is always one line of the batch).
std::string asOneBatchLine(std::string_view command) {
  std::string out;
  for (std::size_t i = 0; i < command.size(); ++i) {
    const std::string_view rest = command.substr(i);
    if (rest.starts_with("\xC2\xAB") || rest.starts_with("\xC2\xBB")) {
      out += '"';
      ++i;
    } else {
      const char c = command[i];
      out += c == '\r' || c == '\n' || c == '\0' ? ' ' : c;
    }
  }
  return out;
}

std::string doubledPercents(std::string_view text) {
  std::string out;
  for (const char c : text) out.append(c == '%' ? 2 : 1, c);
  return out;
}

// A letter and a colon, lower-case, when the text starts with a drive; else nothing.
std::string driveOf(std::string_view text) {
  if (text.size() < 2 || text[1] != ':') return {};
  const char letter = static_cast<char>(text[0] | 0x20);
  return letter >= 'a' && letter <= 'z' ? std::string{letter, ':'} : std::string();
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t from = 0; from < text.size();) {
    const auto end = text.find("\r\n", from);
    if (end == std::string::npos) std::abort();  // every line ends with CR LF
    lines.push_back(text.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr unsigned kCodePages[] = {437, 850, 1252, kCodePageUtf8};
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "promptella-command-fuzz";
    std::filesystem::create_directories(path);
    return path;
  }();
  testing::FakeLauncher launcher;
  launcher.codePage = kCodePages[data[0] % 4];

  // The drive text, the folder and the command are the input cut at the unit separator (0x1F).
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string_view texts[3];
  for (auto& text : texts) {
    const auto cut = rest.find('\x1f');
    text = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  const auto [drive, shown, command] = texts;

  const std::filesystem::path batch = folder / "~Promptella.bat";
  static_cast<void>(removeFile(batch));
  BatchRunner runner(batch, launcher);
  const Outcome outcome = runner.runCommand(drive, shown, command);
  if (!outcome.succeeded()) {
    if (outcome.failure->empty() || !launcher.starts.empty()) std::abort();
    return 0;
  }
  if (launcher.starts.size() != 1) std::abort();
  const std::vector<std::string> lines =
      linesOf(codePageToUtf8(launcher.starts[0].bytes, launcher.codePage));

  std::vector<std::string> expected = {"@echo off"};
  const std::string driveLine = driveOf(shown).empty() ? driveOf(drive) : driveOf(shown);
  if (!driveLine.empty()) expected.push_back(driveLine);
  expected.push_back("cd \"" + doubledPercents(shown) + "\"");
  expected.push_back(std::string(kStopWhenNotEntered));
  expected.push_back("@echo on");
  if (!command.empty()) expected.push_back(asOneBatchLine(command));
  if (lines != expected) std::abort();
  return 0;
}
