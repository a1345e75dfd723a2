// The About box's text and the shell call behind its link.
#include <gtest/gtest.h>

#include <algorithm>

#include "about/about_box.h"
#include "fakes.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

class About : public testing::WindowTest {};

TEST_F(About, TextIsBuiltAfreshOnEveryOpening) {
  w.controller.load();
  w.controller.showAbout();
  w.controller.showAbout();
  ASSERT_EQ(w.dialogs.shownAbout.size(), 2u);
  for (const auto& shown : w.dialogs.shownAbout) {
    EXPECT_EQ(
        shown.credit.rfind(std::string(kProductName) + " " + std::string(kVersion) + " : ", 0), 0u)
        << shown.credit;
    EXPECT_EQ(std::count(shown.credit.begin(), shown.credit.end(), '\n'), 2);
    EXPECT_EQ(shown.link, kWebSite);
    EXPECT_TRUE(shown.unloaded);
  }
  EXPECT_TRUE(w.shell.opened.empty());
}

TEST_F(About, TheLinkOpensTheWebSiteThroughTheShell) {
  w.controller.load();
  w.dialogs.clickLink = true;
  w.controller.showAbout();
  EXPECT_EQ(w.shell.opened, std::vector<std::string>{std::string(kWebSite)});
}

TEST_F(About, OpenDocumentOpensItWhateverTheDocument) {
  testing::FakeShell shell;
  EXPECT_TRUE(openDocument(shell, "C:\\readme.txt").succeeded());
  EXPECT_EQ(shell.opened, std::vector<std::string>{"C:\\readme.txt"});
}

}  // namespace
}  // namespace promptella
