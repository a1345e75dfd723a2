// The MSI, as a user installs it: installed quietly, the installed program started and its window
// found, then uninstalled, which takes the program's files away.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

std::wstring environmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  return GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

// Runs msiexec with `arguments` and returns its exit code.
DWORD msiexec(const std::wstring& arguments) {
  std::wstring commandLine = L"msiexec.exe " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return GetLastError();
  }
  WaitForSingleObject(info.hProcess, 120000);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return code;
}

TEST(Package, InstallsStartsAndUninstallsCleanly) {
  const std::wstring msi = environmentValue(L"PROMPTELLA_MSI");
  if (msi.empty()) GTEST_SKIP() << "no MSI built (scripts/package makes one)";
  const std::filesystem::path installed =
      std::filesystem::path(environmentValue(L"ProgramW6432")) / L"Promptella";
  ASSERT_EQ(msiexec(L"/i \"" + msi + L"\" /qn"), 0u);
  ASSERT_TRUE(std::filesystem::exists(installed / L"Promptella.exe")) << narrowAscii(installed);
  // The package is for every user (ALLUSERS is 1): Windows puts the shortcut in the common
  // Start menu; Wine 8 puts it in the user's.
  const auto startMenu = [](const wchar_t* base) {
    return std::filesystem::path(environmentValue(base)) /
           L"Microsoft\\Windows\\Start Menu\\Programs\\Promptella.lnk";
  };
  const auto shortcut = std::filesystem::exists(startMenu(L"ProgramData"))
                            ? startMenu(L"ProgramData")
                            : startMenu(L"APPDATA");
  EXPECT_TRUE(std::filesystem::exists(shortcut)) << narrowAscii(shortcut);
  {
    PromptellaProcess program(ExistingFolder{installed});
    program.start();
    EXPECT_EQ(program.text(program.window()), L"Promptella 1.2");
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
  }
  ASSERT_EQ(msiexec(L"/x \"" + msi + L"\" /qn"), 0u);
  EXPECT_FALSE(std::filesystem::exists(installed / L"Promptella.exe"));
  EXPECT_FALSE(std::filesystem::exists(shortcut));
}

}  // namespace
}  // namespace promptella::e2e
