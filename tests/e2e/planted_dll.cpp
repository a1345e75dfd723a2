// A stand-in for dwmapi.dll, planted beside Promptella.exe by a test: when loaded it writes
// "planted-dll-loaded.txt" beside itself, which the test looks for.
#include <windows.h>

#include <string>

// Declared here only: the system's header declares it imported, which clashes with exporting it.
extern "C" __declspec(dllexport) HRESULT WINAPI DwmGetWindowAttribute(HWND, DWORD, PVOID, DWORD) {
  return E_FAIL;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(module, path.data(), MAX_PATH));
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"planted-dll-loaded.txt";
  HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return TRUE;
}
