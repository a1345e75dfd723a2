// The main window's control table, lines and menu.
#include "mainwindow/layout.h"

#include <algorithm>
#include <array>

#include "mainwindow/control_ids.h"

namespace promptella::layout {
namespace {

// The command line's legend, which also names it for screen readers.
constexpr const char* kCommandLegend = "Type your command below and press Return key";

}  // namespace

const std::vector<Control>& controls() {
  static const std::vector<Control> table = [] {
    std::vector<Control> t = {
        {Kind::Label, "cdLabel", ids::kLabelCd, "cd", 2040, 0, 285, 240, -1, Font::Bold975,
         Colour::Navy, ""},
        {Kind::Label, "chdirLabel", ids::kLabelChdir, "[chdir]", 2400, 0, 585, 240, -1,
         Font::Regular975, Colour::Navy, ""},
        {Kind::DriveList, "drives", ids::kDriveList, "", 120, 240, 4695, 315, 10, Font::Bold825,
         Colour::Navy, "", "Drive"},
        {Kind::FolderList, "folders", ids::kFolderList, "", 120, 580, 4695, 2115, 11, Font::Window,
         Colour::Default, "", "Folder"},
        {Kind::Label, "commandLegend", ids::kLabelLegend1, kCommandLegend, 0, 2810, 4935, 225, -1,
         Font::Bold825, Colour::Navy, ""},
        {Kind::ComboBox, "commandLine", ids::kCommandLine, "", 120, 3045, 4695, 315, 0,
         Font::Bold825, Colour::MenuText, "", kCommandLegend},
        {Kind::Label, "storeLegend", ids::kLabelLegend2,
         "Click here to store a command on the corresponding button", 120, 7080, 4695, 225, -1,
         Font::Window, Colour::Highlight, ""},
        {Kind::Label, "consoleLink", ids::kConsoleLink,
         "Switch to console mode (Promptella disabled)", 240, 7440, 4695, 240, 28,
         Font::Underline975, Colour::LinkBlue, ""},
    };
    for (int i = 0; i < kSlotCount; ++i) {
      const int top = 3480 + 360 * i;
      const int addTab = i == 0 ? 26 : (i <= 4 ? 13 + i : 16 + i);
      t.push_back({Kind::PictureButton, "storeButton(" + std::to_string(i) + ")",
                   ids::kStoreButtonFirst + i, "", 240, top, 375, 330, addTab, Font::Window,
                   Colour::Default, "Add stored command #" + std::to_string(i + 1)});
      t.push_back({Kind::PushButton, "slotButton(" + std::to_string(i) + ")",
                   ids::kSlotButtonFirst + i, "", 600, top, 4215, 330, i == 0 ? 27 : i,
                   Font::Window, Colour::Default, ""});
    }
    std::stable_sort(t.begin(), t.end(), [](const Control& a, const Control& b) {
      const auto key = [](const Control& c) { return c.tabPosition < 0 ? 1000 : c.tabPosition; };
      return key(a) < key(b);
    });
    return t;
  }();
  return table;
}

std::span<const Line> lines() {
  static constexpr std::array<Line, 13> kLines = {{
      {120, 3360, 120, 5325, LineColour::Desktop},
      {130, 3645, 360, 3645, LineColour::Brown},
      {135, 3960, 365, 3960, LineColour::Rust},
      {135, 4320, 365, 4320, LineColour::Brown},
      {135, 4680, 365, 4680, LineColour::Rust},
      {135, 5040, 365, 5040, LineColour::Brown},
      {360, 6960, 360, 7200, LineColour::Brown},
      {120, 5160, 120, 6840, LineColour::Desktop},
      {120, 5400, 350, 5400, LineColour::Rust},
      {120, 5760, 350, 5760, LineColour::Brown},
      {120, 6120, 350, 6120, LineColour::Rust},
      {120, 6480, 350, 6480, LineColour::Brown},
      {120, 6840, 350, 6840, LineColour::Rust},
  }};
  return kLines;
}

const Dialog& clearConfirmation() {
  static const Dialog dialog{
      3390,
      1230,
      {{Kind::Label, ids::kClearQuestion, "", 120, 105, 3135, 225, Font::Bold825},
       {Kind::PushButton, ids::kClearYes, "&Yes", 480, 840, 975, 330, Font::Window},
       {Kind::PushButton, ids::kClearNo, "&No", 1920, 840, 975, 330, Font::Window},
       {Kind::Label, ids::kClearCommand, "", 120, 420, 3135, 330, Font::Window}}};
  return dialog;
}

const Dialog& aboutBox() {
  static const Dialog dialog{
      5730,
      2055,
      {{Kind::PushButton, ids::kAboutOk, "&OK", 2160, 1560, 1452, 450, Font::Window},
       {Kind::Label, ids::kAboutCredit, "", 120, 120, 5535, 855, Font::Window},
       {Kind::Label, ids::kAboutLink, "", 2970, 1200, 0, 240, Font::BoldUnderline975, true}}};
  return dialog;
}

const std::vector<MenuEntry>& menu() {
  static const std::vector<MenuEntry> table = [] {
    std::vector<MenuEntry> t = {{0, "&File", 0, true},
                                {ids::kMenuExit, "&Exit", 0, false},
                                {0, "&Stored commands", 0, true}};
    for (int i = 0; i < kSlotCount; ++i) {
      t.push_back({ids::kMenuRunFirst + i, "Run command #" + std::to_string(i + 1),
                   i < 9 ? i + 1 : 0, false});
    }
    t.push_back({0, "&?", 0, true});
    t.push_back({ids::kMenuAbout, "&About", 0, false});
    return t;
  }();
  return table;
}

}  // namespace promptella::layout
