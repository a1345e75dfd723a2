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
  testing::FakeWindow window;  // 5010 twips wide, 15 twips to the pixel
  CompanionConsole console{api};
};

TEST_F(Console, OpensTitlesGreetsAndPlacesBesideTheWindow) {
  ASSERT_TRUE(console.open(window).succeeded());
  const auto received = [&](const std::string& call) {
    return std::count(api.calls.begin(), api.calls.end(), call) == 1;
  };
  EXPECT_TRUE(received("title " + std::string(kProductName)));
  EXPECT_TRUE(received("mode 10 7"));  // the input handle: line input, echo, Ctrl+C
  EXPECT_TRUE(received("write 11 Hello from Console\r\n"));
  EXPECT_TRUE(received("move 77 334,0 640x400"));
  EXPECT_EQ(api.calls.back(), "unlock");
}

TEST_F(Console, ATtyWindowIsTakenFirst) {
  api.ttyWindow = 55;
  ASSERT_TRUE(console.open(window).succeeded());
  EXPECT_EQ(std::count(api.calls.begin(), api.calls.end(), "move 55 334,0 640x400"), 1);
}

TEST_F(Console, AConsoleAlreadyThereIsLeftForOneOfItsOwn) {
  api.allocFailures = 1;
  ASSERT_TRUE(console.open(window).succeeded());
  EXPECT_EQ(Calls(api.calls.begin(), api.calls.begin() + 5),
            (Calls{"lock", "alloc", "free", "alloc", "stdout"}));
  EXPECT_EQ(api.calls.back(), "unlock");
}

TEST_F(Console, VisibleFramesTouchAndPseudoConsolesStayWhereTheyAre) {
  struct Case {
    const char* name;
    std::optional<ScreenRect> consoleVisible;
    ScreenRect mainVisible;
    const char* className;
    const char* move;  // nullptr: not moved
  };
  const Case cases[] = {
      {"no invisible borders", std::nullopt, {0, 0, 334, 520}, "tty", "move 77 334,0 640x400"},
      // Windows 10 and 11: 7 invisible pixels left, right and below, none on top.
      {"invisible borders",
       ScreenRect{107, 200, 733, 593},
       {7, 0, 327, 513},
       "ConsoleWindowClass",
       "move 77 320,0 640x400"},
      {"invisible top",
       ScreenRect{107, 201, 733, 593},
       {7, 0, 327, 513},
       "ConsoleWindowClass",
       "move 77 320,-1 640x400"},
      {"Windows Terminal", std::nullopt, {0, 0, 334, 520}, "PseudoConsoleWindow", nullptr},
  };
  for (const Case& c : cases) {
    testing::FakeConsoleApi subjectApi;
    subjectApi.visible = c.consoleVisible;
    subjectApi.consoleClass = c.className;
    window.frame = c.mainVisible;
    CompanionConsole subject{subjectApi};
    ASSERT_TRUE(subject.open(window).succeeded());
    const auto move =
        std::find_if(subjectApi.calls.begin(), subjectApi.calls.end(),
                     [](const std::string& call) { return call.rfind("move", 0) == 0; });
    EXPECT_EQ(move == subjectApi.calls.end() ? std::string("not moved") : *move,
              c.move ? c.move : "not moved")
        << c.name;
  }
}

TEST_F(Console, NoWindowFoundLeavesTheConsoleWhereItIs) {
  api.ownWindow = 0;
  ASSERT_TRUE(console.open(window).succeeded());
  EXPECT_EQ(api.calls.back(), "unlock");
  EXPECT_EQ(std::count_if(api.calls.begin(), api.calls.end(),
                          [](const std::string& c) { return c.rfind("move", 0) == 0; }),
            0);
}

TEST_F(Console, FailuresUnlockBeforeTheMessageAndStopTheSetUp) {
  struct Case {
    const char* name;
    void (*arrange)(testing::FakeConsoleApi&);
    const char* message;
    Calls calls;
  };
  const Case cases[] = {
      {"alloc",
       [](testing::FakeConsoleApi& a) { a.allocFailures = 2; },
       "Couldn't allocate console",
       {"lock", "alloc", "free", "alloc", "unlock"}},
      {"stdout",
       [](testing::FakeConsoleApi& a) { a.output = 0; },
       "Couldn't allocate STDOUT",
       {"lock", "alloc", "stdout", "unlock"}},
      {"stdin",
       [](testing::FakeConsoleApi& a) { a.input = 0; },
       "Couldn't allocate STDIN",
       {"lock", "alloc", "stdout", "stdin", "unlock"}},
  };
  for (const Case& c : cases) {
    testing::FakeConsoleApi failing;
    c.arrange(failing);
    CompanionConsole subject{failing};
    EXPECT_EQ(subject.open(window).failure, c.message) << c.name;
    EXPECT_EQ(failing.calls, c.calls) << c.name;
  }
}

TEST_F(Console, CloseAfterAFailedSetUpReleasesNothingItDidNotGet) {
  api.allocFailures = 2;
  ASSERT_FALSE(console.open(window).succeeded());
  api.calls.clear();
  console.close();
  EXPECT_EQ(api.calls, (Calls{"close 0", "close 0", "free", "destroy 0"}));
}

TEST_F(Console, ReadGivesWholeLinesAndNothingWithoutAConsole) {
  const auto read = [&] { return testing::finish(console.readLine()); };
  EXPECT_FALSE(read());  // not opened: no input handle
  ASSERT_TRUE(console.open(window).succeeded());
  // A lone CR ends a line (Windows), and so does CR LF (Wine); lines longer than one read arrive
  // over several reads.
  for (const char* lineEnd : {"\r", "\r\n"}) {
    api.lineEnd = lineEnd;
    const std::vector<std::string> typed = {std::string(254, 'a'),
                                            std::string(255, 'b'),
                                            std::string(256, 'c'),
                                            std::string(1000, 'x'),
                                            "",
                                            "dir"};
    api.lines = typed;
    for (const std::string& line : typed) EXPECT_EQ(read(), line) << lineEnd;
    EXPECT_FALSE(read());
  }
}

}  // namespace
}  // namespace promptella
