// The companion console's set-up order, its failure messages and its release.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/companion_console.h"
#include "fakes.h"

namespace promptella {
namespace {

using Calls = std::vector<std::string>;

class Console : public ::testing::Test {
 protected:
  testing::FakeConsoleApi api;
  testing::FakeMessageBoxService messages;
  testing::FakeWindow window;  // 5010 twips wide, 15 twips to the pixel
  CompanionConsole console{api, messages};
};

TEST_F(Console, OpensTitlesGreetsAndPlacesBesideTheWindow) {
  console.OpenConsole(window);
  EXPECT_EQ(api.calls, (Calls{"lock", "alloc", "stdout", "stdin", "title Promptella", "mode 10 6",
                              "write 11 Hello from Console\r\n", "find tty Promptella", "own",
                              "rect 77", "move 77 334,0 640x400", "unlock"}));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(console.ConsoleWindow, 77u);
}

TEST_F(Console, ATtyWindowIsTakenFirst) {
  api.ttyWindow = 55;
  console.OpenConsole(window);
  EXPECT_EQ(console.ConsoleWindow, 55u);
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "own"), 0);
}

TEST_F(Console, NoWindowFoundLeavesTheConsoleWhereItIs) {
  api.ownWindow = 0;
  console.OpenConsole(window);
  EXPECT_EQ(api.calls.back(), "unlock");
  EXPECT_EQ(std::count_if(api.calls.begin(), api.calls.end(),
                          [](const std::string& c) { return c.rfind("move", 0) == 0; }),
            0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Console, FailuresUnlockBeforeTheMessageAndStopTheSetUp) {
  struct Case {
    const char* name;
    void (*arrange)(testing::FakeConsoleApi&);
    const char* message;
    Calls calls;
    ConsoleHandle output, input;
  };
  const Case cases[] = {
      {"alloc",
       [](testing::FakeConsoleApi& a) { a.allocOk = false; },
       "Couldn't allocate console",
       {"lock", "alloc", "unlock"},
       0,
       0},
      {"stdout",
       [](testing::FakeConsoleApi& a) { a.output = 0; },
       "Couldn't allocate STDOUT",
       {"lock", "alloc", "stdout", "unlock"},
       0,
       0},
      {"stdin",
       [](testing::FakeConsoleApi& a) { a.input = 0; },
       "Couldn't allocate STDIN",
       {"lock", "alloc", "stdout", "stdin", "unlock"},
       11,
       0},
  };
  for (const Case& c : cases) {
    testing::FakeConsoleApi failing;
    testing::FakeMessageBoxService shown;
    c.arrange(failing);
    CompanionConsole subject{failing, shown};
    subject.OpenConsole(window);
    EXPECT_EQ(failing.calls, c.calls) << c.name;
    EXPECT_EQ(shown.shown, Calls{c.message}) << c.name;
    EXPECT_EQ(subject.ConsoleOutput, c.output) << c.name;
    EXPECT_EQ(subject.ConsoleInput, c.input) << c.name;
  }
}

TEST_F(Console, CloseAfterAFailedSetUpRaisesNoMessage) {
  api.allocOk = false;
  console.OpenConsole(window);
  api.calls.clear();
  console.CloseConsole();
  EXPECT_EQ(api.calls, (Calls{"close 0", "close 0", "free", "destroy 0"}));
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(Console, ReadGivesWholeLinesAndNothingWithoutAConsole) {
  EXPECT_FALSE(console.ConsoleRead());  // not opened: no input handle
  console.OpenConsole(window);
  api.lines = {std::string(1000, 'x'), ""};
  EXPECT_EQ(console.ConsoleRead(), std::string(1000, 'x'));
  EXPECT_EQ(console.ConsoleRead(), "");
  EXPECT_FALSE(console.ConsoleRead());
}

}  // namespace
}  // namespace promptella
