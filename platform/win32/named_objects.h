// The named mutexes that copies of the program share (the claim of a batch file's name, the
// settings file's lock): seen by every session, named after the canonical path, and open to
// every signed-in user for waiting.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace promptella {

// The name of a kernel object (a mutex) that stands for `text` of this `kind`, the same in every
// process: "Promptella.<kind>.<hash of the text, upper-cased>".
std::wstring objectNameFor(std::wstring_view kind, std::wstring_view text);

// `path` as the system names the file or folder (long names, substituted drives and junctions
// resolved); `path` itself when it cannot be opened.
std::wstring canonicalPath(const std::wstring& path);

struct SharedMutex {
  UniqueHandle handle;   // may be waited on; null when it is out of reach
  bool existed = false;  // another process made it first: it is taken
};

// Creates the mutex `name` (from objectNameFor) in the namespace of all sessions, or opens it
// for waiting where it exists already, even where it was made by a process we may not change
// (an elevated copy). Falls back to the session's namespace where the global one is refused;
// `sessionOnly` takes that one at once (for a file no other user's copy shares).
SharedMutex createSharedMutex(const std::wstring& name, bool sessionOnly = false);

// Whether a mutex `name` exists, in either namespace; one that exists out of reach counts.
[[nodiscard]] bool sharedMutexExists(const std::wstring& name);

}  // namespace promptella
