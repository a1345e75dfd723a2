// A function of a system library that only some uses of the program need, loaded at its first
// use rather than at start-up: the shell (the About link), the network (a network drive's share
// name). Programs that import them pay for their start-up and memory every time.
#pragma once

#include <objbase.h>
#include <windows.h>

namespace promptella {

// The function `name` of the system library `library`; null when either cannot be loaded.
template <typename Function>
Function* systemFunction(const wchar_t* library, const char* name) {
  HMODULE module = GetModuleHandleW(library);
  if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Starts COM on the window's thread as the shell, the autocompletion and screen readers need it
// (apartment-threaded, OLE1 DDE off), at the first of their uses rather than at start-up; false
// when it cannot be had. Started already, in that model, is as good.
inline bool startComOnThisThread() {
  const auto initialize = systemFunction<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  return initialize &&
         SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

}  // namespace promptella
