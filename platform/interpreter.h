// How the command interpreter (cmd.exe) reads what we hand it: its own command line, paths
// typed into a command, and which folders it can make its current one.
#pragma once

#include <string>
#include <string_view>

namespace promptella {

// The command line that has `interpreter` run `batchFile` and end: no AutoRun commands of the
// user's (/d), no delayed expansion of ! (/v:off), and the batch path quoted so that /s strips
// only the outer pair of quotes, whatever the path holds.
std::string interpreterCommandLine(std::string_view interpreter, std::string_view batchFile);

// `path` as a word of a command: in double quotes when it holds a blank or a character that
// the interpreter would take as an operator or a separator (as its own file-name completion
// quotes), else as it is.
std::string quotedForInterpreter(std::string_view path);

// Text that a batch line must give the interpreter literally: every % doubled, so that nothing
// is taken for a variable (C:\50% off, pct%TEMP%x).
std::string literalPercents(std::string_view text);

// Whether `path` is a network path (\\server\share\..., \\?\UNC\...), which the interpreter
// cannot make its current folder.
[[nodiscard]] bool isNetworkPath(std::string_view path);

}  // namespace promptella
