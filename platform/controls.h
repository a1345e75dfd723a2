// The controls the handlers work with. Each interface states the contract the handlers rely on;
// platform/win32 implements them over real windows, tests over plain objects.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/async.h"

namespace promptella {

// A rectangle on the screen, in pixels.
struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class Control {
 public:
  virtual ~Control() = default;
  virtual void setEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool enabled() const = 0;
};

// How a move of a drive or folder list ended: true when the list got there. A drive that did not
// answer in time (a sleeping disk, a disc spinning up, a share reconnecting), or that the user
// stopped waiting for with Esc, is told apart from one that is not there or not ready.
struct [[nodiscard]] Reach {
  enum Kind { reached, unreachable, noAnswer };
  Kind kind;
  explicit operator bool() const { return kind == reached; }
};
// How long a drive is waited for before it counts as not answering.
inline constexpr int kDriveAnswerSeconds = 30;

// Shows the drives. `drive()` is a letter and a colon, possibly followed by a space and the volume
// label or share name; empty while the folder shown is on no drive (a network path). `setDrive`
// takes the drive from the text's first letter and does not reach a drive that does not exist or
// is not ready, or that does not answer in time; the answer comes later (co_await it), the window
// answering meanwhile. As with the system's own lists, `onChange` is raised only by the user's pick
// of another drive, never by `setDrive`; it carries the drive picked, which the list shows as what
// the user asked for until a `setDrive` moves it.
class DriveList : public Control {
 public:
  virtual std::string drive() const = 0;
  virtual Task<Reach> setDrive(std::string text) = 0;
  std::function<void(const std::string& picked)> onChange;
};

// Shows the current folder's ancestors and subfolders. `setPath` accepts a full path, a drive alone
// (that drive's current folder) or a path relative to the folder shown, and does not reach a
// folder that is not there or whose drive does not answer in time; the answer comes later, the
// list showing the folder it showed until then. `onChange` is raised only when the user opens
// another folder of the list, never by `setPath`; it carries the folder's full path.
class FolderList : public Control {
 public:
  virtual std::string path() const = 0;
  virtual Task<Reach> setPath(std::string text) = 0;
  // Whether the folder shown can still be entered: not once another program removed it or its
  // drive went away, nor when its drive does not answer in time.
  virtual Task<Reach> stillThere() const = 0;
  std::function<void(const std::string& folder)> onChange;
};

// The keys that the handlers tell apart; every other character typed is Other.
enum class Key { Enter, Other };

// An editable, unsorted combo box; its list indexes run from 0.
class ComboBox : public Control {
 public:
  virtual std::string text() const = 0;
  // Shows `text` wholly selected, so that the next keys typed replace it.
  virtual void setText(std::string_view text) = 0;
  virtual int count() const = 0;
  virtual std::string item(int index) const = 0;
  virtual void insertItem(int index, std::string_view text) = 0;
  virtual void removeItem(int index) = 0;
  // Raised for every character typed into the field, before the field takes it.
  std::function<void(Key)> onKey;
  // The entries offered while the user types, those that begin with the typed text.
  std::function<std::vector<std::string>()> suggestions;
};

// A push button, standard or picture style. A disabled button raises no click.
class Button : public Control {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(std::string_view caption) = 0;
  virtual void setToolTip(std::string_view text) = 0;
  // What screen readers call the button, where its caption does not say what it does.
  virtual void setAccessibleName(std::string_view name) = 0;
  std::function<void()> onClick;
};

// A menu entry; a disabled entry and its shortcut raise no click.
class MenuItem : public Control {
 public:
  std::function<void()> onClick;
};

class Label : public Control {
 public:
  virtual void setCaption(std::string_view caption) = 0;
  std::function<void()> onClick;
};

// The program's messages: modal, an OK button, no icon, titled with the application's title.
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual void show(std::string_view text) = 0;
};

// What the handlers need of the window itself.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual void setCaption(std::string_view caption) = 0;
  // The window's frame as the user sees it, in screen pixels (invisible borders left out).
  virtual ScreenRect visibleFrame() const = 0;
  // Repaints the window and its controls at once, without waiting for the message loop.
  virtual void repaint() = 0;
  // Makes the window active and gives the keyboard focus to its active control.
  virtual void takeFocus() = 0;
};

}  // namespace promptella
