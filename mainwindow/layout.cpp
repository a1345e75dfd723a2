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
    // One control a row or two, each field named.
    // clang-format off
    std::vector<Control> t = {
        {.kind = Kind::Text, .id = ids::kLabelCd, .text = "cd", .left = 2040, .top = 0,
         .width = 285, .height = 240, .font = Font::Bold975, .colour = Colour::Navy},
        {.kind = Kind::Text, .id = ids::kLabelChdir, .text = "[chdir]", .left = 2400, .top = 0,
         .width = 585, .height = 240, .font = Font::Regular975, .colour = Colour::Navy},
        {.kind = Kind::DriveList, .id = ids::kDriveList, .left = 120, .top = 240, .width = 4695,
         .height = 315, .font = Font::Bold825, .colour = Colour::Navy, .accessibleName = "Drive"},
        {.kind = Kind::FolderList, .id = ids::kFolderList, .left = 120, .top = 580, .width = 4695,
         .height = 2115, .accessibleName = "Folder"},
        {.kind = Kind::Text, .id = ids::kLabelLegend1, .text = kCommandLegend, .left = 0,
         .top = 2810, .width = 4935, .height = 225, .font = Font::Bold825, .colour = Colour::Navy},
        {.kind = Kind::CommandLine, .id = ids::kCommandLine, .left = 120, .top = 3045,
         .width = 4695, .height = 315, .font = Font::Bold825, .colour = Colour::MenuText,
         .accessibleName = kCommandLegend},
        {.kind = Kind::Text, .id = ids::kLabelLegend2,
         .text = "Click here to store a command on the corresponding button", .left = 120,
         .top = 7080, .width = 4695, .height = 225, .colour = Colour::Highlight},
        {.kind = Kind::Link, .id = ids::kConsoleLink,
         .text = "Switch to console mode (Promptella disabled)", .left = 240, .top = 7440,
         .width = 4695, .height = 240, .font = Font::Underline975, .colour = Colour::LinkBlue},
    };
    for (int i = 0; i < kSlotCount; ++i) {
      const int top = 3480 + 360 * i;
      t.push_back({.kind = Kind::StoreButton, .id = ids::kStoreButtonFirst + i, .left = 240,
                   .top = top, .width = 375, .height = 330,
                   .toolTip = "Add stored command #" + std::to_string(i + 1)});
      t.push_back({.kind = Kind::SlotButton, .id = ids::kSlotButtonFirst + i, .left = 600,
                   .top = top, .width = 4215, .height = 330});
    }
    // clang-format on
    std::stable_sort(t.begin(), t.end(), [](const Control& a, const Control& b) {
      const auto key = [](const Control& c) {
        return std::find(tabOrder().begin(), tabOrder().end(), c.id) - tabOrder().begin();
      };
      return key(a) < key(b);
    });
    return t;
  }();
  return table;
}

const std::vector<int>& tabOrder() {
  static const std::vector<int> order = [] {
    // The command line, slots 2 to 10, the lists, store buttons 2 to 10, then slot 1's pair and
    // the console link.
    std::vector<int> o{ids::kCommandLine};
    for (int i = 1; i < kSlotCount; ++i) o.push_back(ids::kSlotButtonFirst + i);
    o.insert(o.end(), {ids::kDriveList, ids::kFolderList});
    for (int i = 1; i < kSlotCount; ++i) o.push_back(ids::kStoreButtonFirst + i);
    o.insert(o.end(), {ids::kStoreButtonFirst, ids::kSlotButtonFirst, ids::kConsoleLink});
    return o;
  }();
  return order;
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
      {{Kind::Text, ids::kClearQuestion, "", 120, 105, 3135, 225, Font::Bold825},
       {Kind::PushButton, ids::kClearYes, "&Yes", 480, 840, 975, 330, Font::Window},
       {Kind::PushButton, ids::kClearNo, "&No", 1920, 840, 975, 330, Font::Window},
       {Kind::Text, ids::kClearCommand, "", 120, 420, 3135, 330, Font::Window}}};
  return dialog;
}

const Dialog& aboutBox() {
  static const Dialog dialog{
      5730,
      2055,
      {{Kind::PushButton, ids::kAboutOk, "&OK", 2160, 1560, 1452, 450, Font::Window},
       {Kind::Text, ids::kAboutCredit, "", 120, 120, 5535, 855, Font::Window},
       {Kind::Link, ids::kAboutLink, "", 2970, 1200, 0, 240, Font::BoldUnderline975}}};
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
