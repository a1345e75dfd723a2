// The packages, as a user installs them: the MSI installed quietly, the installed program started
// and its window found, then uninstalled, which takes the program's files away; Explorer's "Open
// Promptella here" entries of the MSI and of the portable package's register.cmd.
#include <gtest/gtest.h>

#include "mainwindow/control_ids.h"
#include "tests/e2e/driver.h"

namespace promptella::e2e {
namespace {

std::wstring environmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  return GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

// Runs `commandLine` and returns its exit code.
DWORD run(std::wstring commandLine) {
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

DWORD msiexec(const std::wstring& arguments) {
  return run(L"msiexec.exe " + arguments);
}

// Explorer's entries: the kinds of item, and what Explorer replaces with the item's folder.
constexpr std::pair<const wchar_t*, const wchar_t*> kEntries[] = {
    {L"Directory", L"%1"}, {L"Directory\\Background", L"%V"}, {L"Drive", L"%1"}};

std::wstring registryText(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  const LSTATUS status =
      RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size);
  return status == ERROR_SUCCESS ? value : L"<missing>";
}

std::wstring entryKey(const wchar_t* kind) {
  return std::wstring(L"Software\\Classes\\") + kind + L"\\shell\\Promptella";
}

// Checks that the three entries under `root` start `program`, then runs the folder background's
// command on a folder, as Explorer does, and checks that Promptella starts there.
void expectEntriesStart(HKEY root, const std::filesystem::path& program) {
  for (const auto& [kind, placeholder] : kEntries) {
    EXPECT_EQ(registryText(root, entryKey(kind)), L"Open Promptella here") << narrowAscii(kind);
    EXPECT_EQ(registryText(root, entryKey(kind) + L"\\command"),
              L"\"" + program.wstring() + L"\" \"" + placeholder + L"\"")
        << narrowAscii(kind);
  }
  std::wstring command = registryText(root, entryKey(L"Directory\\Background") + L"\\command");
  const std::wstring ownName = L"\"" + program.wstring() + L"\"";
  ASSERT_EQ(command.rfind(ownName, 0), 0u);
  const std::filesystem::path there = program.parent_path() / L"opened here";
  std::filesystem::create_directories(there);
  ASSERT_NE(command.find(L"%V"), std::wstring::npos);
  command.replace(command.find(L"%V"), 2, there.wstring());
  PromptellaProcess opened(ExistingFolder{program.parent_path()});
  opened.launch(command.substr(ownName.size()));
  ASSERT_TRUE(opened.waitUntilShown());
  EXPECT_TRUE(waitFor([&] {
    return lstrcmpiW(opened.text(opened.control(ids::kFolderList)).c_str(),
                     there.wstring().c_str()) == 0;
  })) << narrowAscii(opened.text(opened.control(ids::kFolderList)));
  PostMessageW(opened.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(opened.waitForExit(), 0u);
}

void expectNoEntries(HKEY root) {
  for (const auto& [kind, placeholder] : kEntries) {
    EXPECT_EQ(registryText(root, entryKey(kind)), L"<missing>") << narrowAscii(kind);
  }
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
  expectEntriesStart(HKEY_LOCAL_MACHINE, installed / L"Promptella.exe");
  ASSERT_EQ(msiexec(L"/x \"" + msi + L"\" /qn"), 0u);
  EXPECT_FALSE(std::filesystem::exists(installed / L"Promptella.exe"));
  EXPECT_FALSE(std::filesystem::exists(shortcut));
  expectNoEntries(HKEY_LOCAL_MACHINE);
  std::filesystem::remove_all(installed);
}

// The portable package's scripts, unpacked in a folder whose name a script could trip over. (Not
// with % or & in it: Wine's cmd expands the % of %~dp0's folder again, and splits a quoted /c
// command at its &; Windows does neither.)
TEST(Package, PortableRegisterAndUnregisterTheCurrentUsersEntries) {
  PromptellaProcess unpacked;
  const std::filesystem::path folder = unpacked.folder() / L"Portable Tools (x86)";
  std::filesystem::create_directories(folder);
  for (const wchar_t* name : {L"register.cmd", L"unregister.cmd"}) {
    std::filesystem::copy_file(executableFolder() / L"packaging" / name, folder / name);
  }
  const auto script = [&](const wchar_t* name) {
    return run(L"cmd.exe /d /c \"\"" + (folder / name).wstring() + L"\"\"");
  };
  EXPECT_EQ(script(L"unregister.cmd"), 0u);  // whatever an earlier run left
  EXPECT_EQ(script(L"register.cmd"), 1u) << "no program beside it: nothing registered";
  expectNoEntries(HKEY_CURRENT_USER);
  std::filesystem::copy_file(unpacked.folder() / L"Promptella.exe", folder / L"Promptella.exe");
  ASSERT_EQ(script(L"register.cmd"), 0u);
  expectEntriesStart(HKEY_CURRENT_USER, folder / L"Promptella.exe");
  EXPECT_EQ(script(L"unregister.cmd"), 0u);
  expectNoEntries(HKEY_CURRENT_USER);
}

}  // namespace
}  // namespace promptella::e2e
