// The floors the benchmarks measure Promptella against: programs that do what any program with
// Promptella's job must do, and nothing else.
//   floor.exe startup  registers one window class, creates and shows one window, allocates a
//                      console, titles it, writes the greeting and moves it beside the window.
//   floor.exe enter    the same window with its own console; on Enter (a WM_CHAR of '\r' sent to
//                      the window) writes the five-line batch of the window text, in the folder
//                      it was started in, and starts it with the same CreateProcessW call.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kClass[] = L"PromptellaFloor";
std::wstring folder;

void runBatch(HWND window) {
  wchar_t command[4096] = {};
  GetWindowTextW(window, command, 4096);
  const std::wstring text = L"@echo off\r\n" + folder.substr(0, 2) + L"\r\ncd \"" + folder +
                            L"\"\r\n@echo on\r\n" + command + L"\r\n";
  const UINT codePage = GetConsoleOutputCP() ? GetConsoleOutputCP() : GetOEMCP();
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(static_cast<std::size_t>(
      WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr)));
  const std::wstring batch = folder + L"\\~floor.bat";
  HANDLE file = CreateFileW(batch.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  std::wstring commandLine = L"\"" + batch + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && wParam == L'\r') {
    runBatch(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  folder = current;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClass;
  RegisterClassW(&windowClass);
  HWND hwnd = CreateWindowW(kClass, L"", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 330, 560,
                            nullptr, nullptr, instance, nullptr);
  AllocConsole();
  if (std::wstring(arguments) == L"startup") {
    SetConsoleTitleW(L"PromptellaFloor");
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), L"Hello from Console\r\n", 20, &written,
                  nullptr);
    RECT frame{}, console{};
    GetWindowRect(hwnd, &frame);
    const HWND consoleWindow = GetConsoleWindow();
    GetWindowRect(consoleWindow, &console);
    MoveWindow(consoleWindow, frame.right, 0, console.right - console.left,
               console.bottom - console.top, TRUE);
  }
  ShowWindow(hwnd, show);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
