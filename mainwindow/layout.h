// The main window as data: its size, its controls, its lines and its menu. The Win32 layer builds
// the window from these tables; positions and sizes are in twips.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace promptella::layout {

inline constexpr int kClientWidth = 4920;
inline constexpr int kClientHeight = 7740;

// What a control is. Text and Link are labels; a link takes the focus and is clicked.
enum class Kind {
  Text,
  Link,
  DriveList,
  FolderList,
  CommandLine,
  SlotButton,
  StoreButton,
  PushButton
};

enum class Font {
  Window,            // regular 8.25 pt
  Bold825,           // bold 8.25 pt
  Regular975,        // regular 9.75 pt
  Bold975,           // bold 9.75 pt
  Underline975,      // underlined regular 9.75 pt
  BoldUnderline975,  // underlined bold 9.75 pt
};

enum class Colour {
  Default,    // the control's own
  Navy,       // RGB(0, 0, 128)
  MenuText,   // the system's menu-text colour
  Highlight,  // the system's highlight colour
  LinkBlue,   // RGB(0, 0, 192)
};

// One control: its rows name each field, and leave out those that keep their default.
struct Control {
  Kind kind;
  int id;
  std::string text = {};
  int left, top, width, height;
  Font font = Font::Window;
  Colour colour = Colour::Default;
  std::string toolTip = {};
  std::string accessibleName = {};  // for a control whose text does not name it
};

// Every control, in the tab order (those that take no focus last).
const std::vector<Control>& controls();
// The IDs of the controls that take the focus, in the order Tab moves it.
const std::vector<int>& tabOrder();

enum class LineColour { Desktop, Brown, Rust };
struct Line {
  int x1, y1, x2, y2;
  LineColour colour;
};
std::span<const Line> lines();

// A dialog as data: its client area and its controls (texts, links and push buttons), in tab
// order (a link takes the focus after the other controls).
struct DialogControl {
  Kind kind;
  int id;
  std::string text;
  int left, top, width, height;  // a width of 0: as wide as the text
  Font font;
};
struct Dialog {
  int clientWidth, clientHeight;
  std::vector<DialogControl> controls;
};
// The clear confirmation: the question, Yes, No and the command.
const Dialog& clearConfirmation();
// The About box: OK, the credit text and the link.
const Dialog& aboutBox();

// The menu: one table gives both the menu and its function-key shortcuts.
struct MenuEntry {
  int id;  // 0 for a top-level menu
  std::string caption;
  int functionKey;  // 1..9 for F1..F9, 0 for none
  bool topLevel;
};
const std::vector<MenuEntry>& menu();

}  // namespace promptella::layout
