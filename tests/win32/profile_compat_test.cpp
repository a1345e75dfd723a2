// The settings engine and the system's profile functions agree on the same files, both ways.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/win32/named_objects.h"
#include "platform/win32/text.h"
#include "settings/ini_file.h"

namespace promptella {
namespace {

class ProfileCompat : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "promptella-compat-" + std::to_string(GetCurrentProcessId()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    DeleteFileA(path_.c_str());
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }

  std::string systemRead(const char* section, const char* key) {
    std::string buffer(100000, '\0');
    const DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path_.c_str());
    buffer.resize(n);
    return buffer;
  }

  std::string path_;
  IniFile& engine() { return engine_.emplace(pathFromUtf8(path_), worker_); }
  InlineWorker worker_;
  std::optional<IniFile> engine_;
};

const char* const kValues[] = {
    "dir /w",
    "  padded both ends  ",
    "\"C:\\Program Files\\x\\a.exe\"",
    "'single quoted'",
    "\"",
    "echo \"half",
    "type caf\xC3\xA9.txt",  // UTF-8 in the program, 1252 on disk
};

TEST_F(ProfileCompat, SystemReadsWhatTheEngineWrites) {
  IniFile& ini = engine();
  for (int i = 0; i < static_cast<int>(std::size(kValues)); ++i) {
    ini.writeValue({"StoredCommands", "Command" + std::to_string(i)}, kValues[i]);
  }
  ini.writeValue(setting::storedCommand(9), std::string(3000, 'L'));
  for (int i = 0; i < static_cast<int>(std::size(kValues)); ++i) {
    const std::string key = "Command" + std::to_string(i);
    std::string expected = kValues[i];
    if (expected.find("\xC3\xA9") != std::string::npos) expected = "type caf\xE9.txt";
    EXPECT_EQ(systemRead("StoredCommands", key.c_str()), expected) << key;
  }
  EXPECT_EQ(systemRead("StoredCommands", "Command9"), std::string(3000, 'L'));
}

TEST_F(ProfileCompat, EngineReadsWhatTheSystemWrites) {
  WritePrivateProfileStringA("Configuration", "Path", "C:\\Temp", path_.c_str());
  WritePrivateProfileStringA("Commands", "Command0", "dir", path_.c_str());
  WritePrivateProfileStringA("Commands", "Command1", "type caf\xE9.txt", path_.c_str());
  WritePrivateProfileStringA("Commands", "Command2", "gone", path_.c_str());
  WritePrivateProfileStringA("Commands", "Command2", nullptr, path_.c_str());
  WritePrivateProfileStringA("Other", "x", "1", path_.c_str());
  WritePrivateProfileStringA("Other", nullptr, nullptr, path_.c_str());
  IniFile& ini = engine();
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\Temp");
  EXPECT_EQ(ini.readValue({"commands", "COMMAND0"}), "dir");
  EXPECT_EQ(ini.readValue({"Commands", "Command1"}), "type caf\xC3\xA9.txt");
  EXPECT_FALSE(ini.readValue({"Commands", "Command2"}));
  EXPECT_FALSE(ini.readValue({"Other", "x"}));
}

TEST_F(ProfileCompat, EditsOfEachSideKeepTheOthersKeys) {
  IniFile& ini = engine();
  ini.writeValue(setting::folder(), "C:\\A");
  WritePrivateProfileStringA("StoredCommands", "Command3", "tree", path_.c_str());
  ini.writeValue({"Commands", "Command0"}, "ver");
  WritePrivateProfileStringA("Configuration", "Path", "C:\\B", path_.c_str());
  ini.removeValue(setting::storedCommand(3));
  EXPECT_EQ(systemRead("Configuration", "Path"), "C:\\B");
  EXPECT_EQ(systemRead("Commands", "Command0"), "ver");
  EXPECT_EQ(systemRead("StoredCommands", "Command3"), "");
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\B");
}

TEST_F(ProfileCompat, LineBreaksNeverReachTheSystemAsNewKeys) {
  engine().writeValue(setting::storedCommand(1), "dir\r\n[Configuration]\r\nPath=C:\\evil");
  EXPECT_EQ(systemRead("Configuration", "Path"), "");
  EXPECT_EQ(systemRead("StoredCommands", "Command1"), "dir  [Configuration]  Path=C:\\evil");
}

TEST_F(ProfileCompat, AReadOnlyFileIsLeftIntact) {
  IniFile& ini = engine();
  ini.writeValue(setting::folder(), "C:\\A");
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  ini.writeValue(setting::folder(), "C:\\B");
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(systemRead("Configuration", "Path"), "C:\\A");
}

TEST_F(ProfileCompat, UnicodeFilesAgreeBothWays) {
  IniFile& ini = engine();
  ini.writeValue(setting::folder(),
                 "C:\\Donn\xC3\xA9"
                 "es");
  ini.writeValue({"Commands", "Command0"}, "echo \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9");
  const std::wstring file(path_.begin(), path_.end());
  wchar_t value[256] = {};
  GetPrivateProfileStringW(L"Commands", L"Command0", L"", value, 256, file.c_str());
  EXPECT_EQ(std::wstring(value), L"echo \u65e5\u672c \u03a9");
  GetPrivateProfileStringW(L"Configuration", L"Path", L"", value, 256, file.c_str());
  EXPECT_EQ(std::wstring(value), L"C:\\Donn\u00e9es");
  WritePrivateProfileStringW(L"StoredCommands", L"Command1", L"dir \u0416", file.c_str());
  IniFile& again = engine();  // read anew
  EXPECT_EQ(again.readValue(setting::storedCommand(1)), "dir \xD0\x96");
  EXPECT_EQ(again.readValue({"Commands", "Command0"}), "echo \xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9");
}

// A file held without read sharing (a scanner, a backup) is waited for a moment; one held longer
// makes the write fail and stays as it was, never rebuilt from nothing.
TEST_F(ProfileCompat, AFileThatCannotBeReadNowIsNeverRebuiltFromNothing) {
  IniFile& ini = engine();
  ini.writeValue(setting::storedCommand(3), "keep");
  const std::wstring file(path_.begin(), path_.end());
  const auto hold = [&] {
    return CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  };
  HANDLE held = hold();
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ini.writeValue(setting::folder(), "C:\\A");
  CloseHandle(held);
  EXPECT_EQ(systemRead("StoredCommands", "Command3"), "keep");
  EXPECT_EQ(systemRead("Configuration", "Path"), "");

  held = hold();
  std::thread release([&] {
    Sleep(100);  // a scanner's moment; the write waits for it by polling with a deadline
    CloseHandle(held);
  });
  ini.writeValue(setting::folder(), "C:\\B");
  release.join();
  EXPECT_EQ(systemRead("StoredCommands", "Command3"), "keep");
  EXPECT_EQ(systemRead("Configuration", "Path"), "C:\\B");
}

// The lock of a settings file in the user's own profile lives in the session's namespace, where
// no other user can make it first and keep it; elsewhere, in the namespace of every session.
TEST(SettingsLock, TheSessionsOwnInTheProfileEverySessionsElsewhere) {
  wchar_t profile[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH), 0u);
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  const std::filesystem::path outside = std::filesystem::path(program).parent_path();
  for (const auto& [folder, local] :
       {std::pair{std::filesystem::path(profile), true}, std::pair{outside, false}}) {
    const auto lock = lockForUpdate(folder / L"promptella-lock-test.ini");
    ASSERT_TRUE(lock);
    const std::wstring name =
        objectNameFor(L"settings", canonicalPath(folder.wstring()) + L"\\promptella-lock-test.ini");
    const auto opens = [&](const wchar_t* scope) {
      const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, (scope + name).c_str());
      if (mutex) CloseHandle(mutex);
      return mutex != nullptr;
    };
    EXPECT_EQ(opens(L"Local\\"), local) << narrow(folder.wstring());
    EXPECT_EQ(opens(L"Global\\"), !local) << narrow(folder.wstring());
  }
}

}  // namespace
}  // namespace promptella
