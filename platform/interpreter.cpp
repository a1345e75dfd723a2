// The command interpreter's reading of command lines and paths.
#include "platform/interpreter.h"

namespace promptella {

std::string interpreterCommandLine(std::string_view interpreter, std::string_view batchFile) {
  std::string line = "\"";
  line.append(interpreter).append("\" /d /v:off /s /c \"\"").append(batchFile).append("\"\"");
  return line;
}

std::string quotedForInterpreter(std::string_view path) {
  if (path.find_first_of(" \t&()[]{}^=;!'+,`~") == std::string_view::npos) return std::string(path);
  return std::string("\"").append(path).append("\"");
}

std::string literalPercents(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

bool isNetworkPath(std::string_view path) {
  const auto folded = [](char c) { return c == '/' ? '\\' : c; };
  if (path.size() < 2 || folded(path[0]) != '\\' || folded(path[1]) != '\\') return false;
  // \\?\ and \\.\ name a local path or device unless UNC follows.
  if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && folded(path[3]) == '\\') {
    std::string prefix(path.substr(4, 4));
    for (char& c : prefix) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return prefix.size() == 4 && prefix.substr(0, 3) == "UNC" && folded(prefix[3]) == '\\';
  }
  return true;
}

}  // namespace promptella
