// A batch file written by the runner runs in the real cmd.exe: accented folders are entered, and
// overlapping runs do not corrupt each other.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/batch_runner.h"
#include "platform/files.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/text.h"
#include "tests/support/win32_support.h"

namespace promptella {
namespace {

using testing::waitFor;

class RealInterpreter : public ::testing::Test {
 protected:
  testing::TempFolder temp{L"promptella-batch-"};
  const std::filesystem::path& folder = temp.path();
  Win32ProcessLauncher launcher;
};

TEST_F(RealInterpreter, EntersAFolderWithAccentedLetters) {
  const std::filesystem::path accented = folder / L"\u00c9lan caf\u00e9";
  std::filesystem::create_directories(accented);
  const std::string path = narrow(accented.wstring());
  const std::string bytes = composeBatch({"@echo off", path.substr(0, 2), "cd \"" + path + "\"",
                                          "@echo on", "echo entered> marker.txt"},
                                         launcher.interpreterCodePage());
  const auto batch = folder / L"~Promptella.bat";
  ASSERT_FALSE(writeNewFile(batch, bytes));
  StartResult started = launcher.startBatch(narrow(batch.wstring()), 2);
  ASSERT_TRUE(started.process) << started.error;
  ASSERT_TRUE(waitFor([&] { return !started.process->running(); }));
  EXPECT_TRUE(std::filesystem::exists(accented / L"marker.txt"))
      << "code page " << launcher.interpreterCodePage();
}

TEST_F(RealInterpreter, AStartOfAMissingFileFails) {
  ASSERT_TRUE(std::filesystem::exists(folder));
  BatchRunner runner(folder / L"sub" / L"~Promptella.bat", launcher);
  const auto failure = runner.RunBatch("ver", "", "", "", "");
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("Couldn't write the batch file"), std::string::npos) << *failure;
}

TEST_F(RealInterpreter, AnOverlappingRunDoesNotRunAFragmentOfTheNext) {
  BatchRunner runner(folder / L"~Promptella.bat", launcher);
  std::string out = "\"";
  out += narrow((folder / L"out.txt").wstring());
  out += '"';
  const auto output = [&] {
    std::ifstream in(folder / L"out.txt");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const std::string cd = "cd \"" + narrow(folder.wstring()) + "\"";
  ASSERT_FALSE(runner.RunBatch(
      "@echo off", "c:", cd, "@echo on",
      "echo started>> " + out + " & ping -n 3 127.0.0.1 >nul & echo first>> " + out));
  // The first interpreter is inside its last line: the file under it must not change now.
  ASSERT_TRUE(waitFor([&] { return output().find("started") != std::string::npos; }));
  // Were this written over the first batch, the first interpreter would go on reading it at its
  // old offset, in the middle of the rem, and run the echo of "fragment".
  ASSERT_FALSE(runner.RunBatch(
      "@echo off", "c:", cd, "@echo on",
      "echo second>> " + out + " & rem " + std::string(200, 'x') + " & echo fragment>> " + out));
  ASSERT_TRUE(waitFor([&] { return !runner.anyRunning(); }));
  const std::string text = output();
  EXPECT_NE(text.find("first"), std::string::npos) << text;
  EXPECT_NE(text.find("second"), std::string::npos) << text;
  EXPECT_EQ(text.find("fragment"), std::string::npos) << text;
}

}  // namespace
}  // namespace promptella
