// Console mode: what it disables and enables, in which order, and which lines end it.
#include <gtest/gtest.h>

#include "fakes.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::FakeMainWindow;
using testing::TempDir;

class ConsoleMode : public testing::WindowTest {
 protected:
  void SetUp() override {
    testing::writeBytes(dir / "Promptella.ini", "[StoredCommands]\r\nCommand4=tree\r\n");
    w.folders.existing.insert("C:\\Temp");
    w.controller.load();
    w.controller.activate();
    w.consoleApi.calls.clear();
  }
  void run(std::vector<std::string> lines) {
    w.consoleApi.lines = std::move(lines);
    w.consoleLink.onClick();
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> out;
    for (const auto& call : w.consoleApi.calls) {
      if (call.rfind("title ", 0) == 0) out.push_back(call.substr(6));
    }
    return out;
  }
  std::vector<std::string> commandsRun() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < w.launcher.starts.size(); ++i) {
      const auto lines = w.launcher.lines(i);
      out.push_back(lines.size() == 6 ? lines[5] : "<" + std::to_string(lines.size()) + " lines>");
    }
    return out;
  }
};

TEST_F(ConsoleMode, EntryAndExitSwitchTheCommandControlsInOrder) {
  w.logEnabling();
  std::vector<std::string> duringRead;
  w.consoleApi.onRead = [&] { duringRead = w.log; };
  run({"halt"});

  std::vector<std::string> entry = {"-drives",     "-folders",       "-commandLine", "-cdLabel",
                                    "-chdirLabel", "-commandLegend", "-storeLegend"};
  std::vector<std::string> exit = {"+drives",     "+folders",       "+commandLine", "+cdLabel",
                                   "+chdirLabel", "+commandLegend", "+storeLegend"};
  for (int i = 0; i < 10; ++i) {
    const std::string n = std::to_string(i);
    entry.insert(entry.end(), {"-storeButton" + n, "-slotButton" + n, "-menuItem" + n});
    // Back from the mode, a slot is usable exactly when its button holds a command.
    const char sign = (i == 0 || i == 4) ? '+' : '-';
    exit.insert(exit.end(),
                {"+storeButton" + n, sign + ("slotButton" + n), sign + ("menuItem" + n)});
  }
  EXPECT_EQ(duringRead, entry);
  std::vector<std::string> all = entry;
  all.insert(all.end(), exit.begin(), exit.end());
  EXPECT_EQ(w.log, all);  // the link itself is never touched

  EXPECT_EQ(titles(), (std::vector<std::string>{
                          "Promptella - Type 'halt' to return Promptella mode", "Promptella"}));
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0],
            "Promptella is now disabled\r\nConsole input is enabled\r\n\r\nType 'halt' to return "
            "Promptella mode");
  EXPECT_EQ(w.window.repaints, 2);  // after entering and after leaving: no line was run
  EXPECT_EQ(w.window.focusTaken, 1);
}

// While the console has the input, the link starts no second console mode, then or after "halt".
TEST_F(ConsoleMode, TheLinkDuringConsoleModeStartsNothing) {
  w.consoleApi.onRead = [&] { w.consoleLink.onClick(); };
  run({"ver", "halt"});
  w.consoleApi.onRead = nullptr;
  EXPECT_EQ(w.messages.shown, std::vector<std::string>{consoleModeNotice()});
  EXPECT_EQ(commandsRun(), std::vector<std::string>{"ver"});
}

TEST_F(ConsoleMode, TheWindowIsRepaintedAfterEveryLine) {
  run({"echo 1", "echo 2", "halt"});
  EXPECT_EQ(w.window.repaints, 4);
}

TEST_F(ConsoleMode, HaltInAnyCaseAndAnyTailEndsItOtherLinesRun) {
  for (const std::string halt : {"halt", "HALT", "Halt", "halting", "halt now"}) {
    w.launcher.starts.clear();
    run({" halt", "hal", halt, "never"});
    EXPECT_EQ(commandsRun(), (std::vector<std::string>{" halt", "hal"})) << halt;
  }
}

TEST_F(ConsoleMode, AnEmptyLineRunsFourLinesAndCdMovesTheFolderList) {
  run({"", "cd C:\\Temp", "dir", "halt"});
  ASSERT_EQ(w.launcher.starts.size(), 3u);
  EXPECT_EQ(w.launcher.lines(0),
            (std::vector<std::string>{"@echo off", "c:", "cd \"C:\\\"",
                                      std::string(kStopWhenNotEntered), "@echo on"}));
  EXPECT_EQ(w.folders.path(), "C:\\Temp");
  EXPECT_EQ(w.launcher.lines(2)[2], "cd \"C:\\Temp\"");
  EXPECT_TRUE(w.commandLine.items.empty());  // no history from console mode
  EXPECT_FALSE(w.saved("Commands", "Command0"));
}

TEST_F(ConsoleMode, NoLineFromTheConsoleEndsItWithAMessageAndRunsNothing) {
  run({});
  EXPECT_TRUE(w.launcher.starts.empty());
  ASSERT_EQ(w.messages.shown.size(), 2u);  // the notice, then why it ended
  EXPECT_NE(w.messages.shown[1].find("console mode has ended"), std::string::npos);
  EXPECT_TRUE(w.commandLine.enabled());
  EXPECT_EQ(titles().back(), "Promptella");
}

}  // namespace
}  // namespace promptella
