// A batch file written by the runner runs in the real cmd.exe: accented folders are entered, and
// overlapping runs do not corrupt each other.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "engine/batch_runner.h"
#include "platform/files.h"
#include "platform/win32/process_launcher.h"
#include "platform/win32/text.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_support.h"

namespace promptella {
namespace {

using testing::waitFor;

// The real launcher, whose interpreters a test can wait for.
class WatchedLauncher : public Win32ProcessLauncher {
  struct Watched : StartedProcess {
    std::shared_ptr<StartedProcess> process;
    bool running() const override { return process->running(); }
    Task<> ended() const override { return process->ended(); }
  };

 public:
  StartResult startBatch(std::string_view file, int show, std::string_view folder) override {
    StartResult started = Win32ProcessLauncher::startBatch(file, show, folder);
    if (!started.value) return started;
    auto watched = std::make_unique<Watched>();
    watched->process = started_.emplace_back(std::move(started.value));
    started.value = std::move(watched);
    return started;
  }
  bool anyRunning() const {
    return std::any_of(started_.begin(), started_.end(),
                       [](const auto& p) { return p->running(); });
  }

 private:
  std::vector<std::shared_ptr<StartedProcess>> started_;
};

class RealInterpreter : public ::testing::Test {
 protected:
  testing::TempDir temp{"promptella-batch-"};
  const std::filesystem::path& folder = temp.path();
  WatchedLauncher launcher;
};

TEST_F(RealInterpreter, EntersTheFolderShownWhateverItsName) {
  BatchRunner runner(folder / L"~Promptella.bat", launcher);
  int entered = 0;
  const std::wstring names[] = {L"\u00c9lan caf\u00e9", L"50% off", L"\u65e5\u672c",
                                L"\u0416\u0443\u043a",  L"R&D (x)", std::wstring(120, L'a')};
  for (const std::wstring& name : names) {
    // The last one, twice, makes a path longer than the interpreter can enter by name.
    const std::filesystem::path target = name.size() > 100 ? folder / name / name : folder / name;
    std::filesystem::create_directories(target);
    const std::string path = narrow(target.wstring());
    const auto failure =
        runner.runCommand(path.substr(0, 2) + " A&md INJ", path, "echo entered> marker.txt")
            .failure;
    if (failure) {  // no short name on this volume: refused, and said why
      EXPECT_EQ(failure->rfind("Couldn't enter the folder " + path, 0), 0u) << *failure;
      continue;
    }
    ++entered;
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(target / L"marker.txt"); }))
        << path << ", code page " << launcher.interpreterCodePage();
    ASSERT_TRUE(waitFor([&] { return !launcher.anyRunning(); }));
    EXPECT_FALSE(std::filesystem::exists(target / L"INJ")) << "the label ran as a command";
  }
  EXPECT_GE(entered, 3) << "names that every code page spells";
}

TEST_F(RealInterpreter, AStartOfAMissingFileFails) {
  ASSERT_TRUE(std::filesystem::exists(folder));
  BatchRunner runner(folder / L"sub" / L"~Promptella.bat", launcher);
  const auto failure = runner.enterDrive("c:").failure;
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->find("Couldn't write the batch file"), std::string::npos) << *failure;
}

// A folder removed between the program's check and the interpreter's cd: the batch stops at the
// cd, and the command runs nowhere (neither in the interpreter's start folder nor the drive's).
TEST_F(RealInterpreter, AFolderGoneBeforeItsCdRunsNothing) {
  BatchRunner runner(folder / L"~Promptella.bat", launcher);
  const std::string gone = narrow((folder / L"gone").wstring());
  const std::string marker = narrow((folder / L"ran.txt").wstring());
  ASSERT_TRUE(runner.runCommand("c:", gone, "echo ran> \"" + marker + "\"").succeeded());
  ASSERT_TRUE(waitFor([&] { return !launcher.anyRunning(); }));
  EXPECT_FALSE(std::filesystem::exists(folder / L"ran.txt"));
  // The same batch runs its command once the folder is there.
  std::filesystem::create_directories(folder / L"gone");
  ASSERT_TRUE(runner.runCommand("c:", gone, "echo ran> \"" + marker + "\"").succeeded());
  EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(folder / L"ran.txt"); }));
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
  const std::string shown = narrow(folder.wstring());
  ASSERT_TRUE(
      runner
          .runCommand("c:", shown,
                      "echo started>> " + out + " & ping -n 3 127.0.0.1 >nul & echo first>> " + out)
          .succeeded());
  // The first interpreter is inside its last line: the file under it must not change now.
  ASSERT_TRUE(waitFor([&] { return output().find("started") != std::string::npos; }));
  // Were this written over the first batch, the first interpreter would go on reading it at its
  // old offset, in the middle of the rem, and run the echo of "fragment".
  ASSERT_TRUE(runner
                  .runCommand("c:", shown,
                              "echo second>> " + out + " & rem " + std::string(200, 'x') +
                                  " & echo fragment>> " + out)
                  .succeeded());
  ASSERT_TRUE(waitFor([&] { return !launcher.anyRunning(); }));
  const std::string text = output();
  EXPECT_NE(text.find("first"), std::string::npos) << text;
  EXPECT_NE(text.find("second"), std::string::npos) << text;
  EXPECT_EQ(text.find("fragment"), std::string::npos) << text;
}

}  // namespace
}  // namespace promptella
