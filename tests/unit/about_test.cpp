// The About box's text and the shell call behind its link.
#include <gtest/gtest.h>

#include <algorithm>

#include "about/about_dialog.h"
#include "fakes.h"
#include "temp_dir.h"

namespace promptella {
namespace {

TEST(About, TextIsBuiltAfreshOnEveryOpening) {
  testing::TempDir dir;
  testing::FakeMainWindow w{dir.path()};
  w.form.Form_Load();
  w.form.mnuAbout_Click();
  w.form.mnuAbout_Click();
  ASSERT_EQ(w.dialogs.shownAbout.size(), 2u);
  for (const auto& shown : w.dialogs.shownAbout) {
    EXPECT_EQ(shown.credit.rfind("Promptella 1.2 : ", 0), 0u) << shown.credit;
    EXPECT_EQ(std::count(shown.credit.begin(), shown.credit.end(), '\n'), 2);
    EXPECT_EQ(shown.link, kWebSite);
    EXPECT_TRUE(shown.unloaded);
  }
  EXPECT_TRUE(w.shell.calls.empty());
}

TEST(About, TheLinkOpensTheWebSiteThroughTheShell) {
  testing::TempDir dir;
  testing::FakeMainWindow w{dir.path()};
  w.form.Form_Load();
  w.dialogs.clickLink = true;
  w.form.mnuAbout_Click();
  EXPECT_EQ(w.shell.calls, std::vector<std::string>{"Open|" + std::string(kWebSite) + "||C:\\|1"});
}

TEST(About, OpenDocumentPassesFixedArgumentsWhateverTheDocument) {
  testing::FakeShell shell;
  EXPECT_EQ(OpenDocument(shell, "C:\\readme.txt"), 42);
  EXPECT_EQ(shell.calls, std::vector<std::string>{"Open|C:\\readme.txt||C:\\|1"});
}

}  // namespace
}  // namespace promptella
