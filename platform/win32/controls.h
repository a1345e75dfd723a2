// Thin wrappers over Win32 controls, one class per kind, each implementing its control interface
// (the code of each is in controls/). The parent window hands WM_COMMAND, WM_DRAWITEM and the
// WM_CTLCOLOR* questions to Win32Control::route, which finds the wrapper behind the child window
// and turns the notification into the interface's callback, or answers with the wrapper's colours.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/colours.h"
#include "platform/win32/suggestions.h"

namespace promptella {

class Win32Control {
 public:
  virtual ~Win32Control();
  HWND hwnd() const { return hwnd_; }
  // The name screen readers give the control (and `also`, a window it is made of).
  void nameForScreenReaders(std::string_view name, HWND also = nullptr);
  // The colours the control draws in; without them it keeps the system's.
  void setColours(Colours colours) { colours_.emplace(std::move(colours)); }

  // Hands a parent's message to the control it concerns; true when a wrapper handled it.
  [[nodiscard]] static bool route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 protected:
  Win32Control() = default;
  void attach(HWND hwnd);
  [[nodiscard]] virtual bool onCommand(WORD /*code*/) { return false; }
  [[nodiscard]] virtual bool onDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // The text colour set, for a control that draws itself.
  std::optional<COLORREF> textColour() const {
    if (!colours_) return std::nullopt;
    return colours_->text(highContrastOn());
  }
  // Routes the messages of `window` (the control, or a part of it) through onSubclassed first;
  // `wantsEnter`: it asks for Enter, which the dialog manager would otherwise take for a button.
  // The control's own window is hooked by attach. Every window of the program is hooked this one
  // way (SetWindowSubclass), removed in the reverse order when the wrapper goes.
  void hook(HWND window, bool wantsEnter = true);
  // A message of the subclassed window; nothing hands it on to the window's own procedure.
  [[nodiscard]] virtual std::optional<LRESULT> onSubclassed(HWND, UINT, WPARAM, LPARAM) {
    return std::nullopt;
  }

  HWND hwnd_ = nullptr;

 private:
  static constexpr UINT_PTR kHookId = 1;
  static LRESULT CALLBACK hookProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
  struct Hooked {
    HWND window;
    bool wantsEnter;
  };
  std::wstring accessibleName_;
  std::vector<Hooked> hooked_;  // in the order of hooking
  std::optional<Colours> colours_;
};

// A wrapper of one child window that implements the control interface `Interface`: enabling and
// disabling are the window's own, written once here.
template <typename Interface>
class Win32Wrapper : public Win32Control, public Interface {
 public:
  void setEnabled(bool enabled) override { EnableWindow(hwnd_, enabled); }
  [[nodiscard]] bool enabled() const override { return IsWindowEnabled(hwnd_) != 0; }
};

// A child control of `parent`, visible, at no particular place yet.
HWND createChild(HWND parent, int id, const wchar_t* className, DWORD style, DWORD exStyle = 0,
                 const wchar_t* text = L"");
std::wstring windowText(HWND hwnd);

// Where the drive list learns about the drives. A drive's label, and whether it is ready, can
// take the drive long to tell (a sleeping disk, a share whose server is gone): the list asks for
// them only off the window's thread.
class DriveSource {
 public:
  virtual ~DriveSource() = default;
  // The drives there are, one bit a letter as GetLogicalDrives gives them; never waits on one.
  virtual DWORD drives() const;
  // The drive text: the letter, a colon, and the volume label, or a network drive's share name
  // as its network provider knows it (also while disconnected).
  virtual std::wstring describe(wchar_t letter) const;
  // Whether the drive's root can be read.
  [[nodiscard]] virtual bool ready(wchar_t letter) const;
};

// The drives, as an owner-drawn drop-down list: "c: label". The letters show at once; the labels
// are read on a thread of their own and filled in as they come.
class Win32DriveList : public Win32Wrapper<DriveList> {
 public:
  Win32DriveList(HWND parent, int id,
                 std::shared_ptr<const DriveSource> source = std::make_shared<DriveSource>());
  std::string drive() const override;
  // Asks the drive off the window's thread; the list shows the pick until it has answered.
  Task<Reach> setDrive(std::string text) override;

 private:
  [[nodiscard]] bool onCommand(WORD code) override;
  [[nodiscard]] bool onDrawItem(const DRAWITEMSTRUCT& item) override;
  void refresh();
  // Reads the drives' texts on a thread of its own, and shows each as it comes.
  void describeInBackground();
  void showDescription(wchar_t letter, const std::wstring& text);
  void select(wchar_t letter);
  int indexOf(wchar_t letter) const;

  std::shared_ptr<const DriveSource> source_;
  std::vector<std::wstring> items_;
  std::map<wchar_t, std::wstring> described_;  // the texts read so far
  bool describing_ = false;
  wchar_t current_ = 0;
  std::shared_ptr<int> alive_ = std::make_shared<int>();  // for the texts that come back later
};

// The current folder's ancestors (open) and subfolders (closed), as an owner-drawn list box.
// A double-click or Enter on an entry opens it. The names are answered to LB_GETTEXT, where screen
// readers and automation tools read them.
class Win32FolderList : public Win32Wrapper<FolderList> {
 public:
  Win32FolderList(HWND parent, int id);
  std::string path() const override;
  Task<Reach> setPath(std::string text) override;
  Task<Reach> stillThere() const override;
  void setItemHeight(int pixels);

 private:
  struct Entry {
    std::wstring name;
    std::wstring fullPath;  // for the open ancestors; a subfolder's is the path shown and its name
    int level;
    bool open;
  };
  // Opens an entry, as a double-click or Enter does.
  void openEntry(int index);
  // Selects the next entry whose name starts with the letters typed so far.
  void findTyped(wchar_t typed);
  [[nodiscard]] bool onCommand(WORD code) override;
  [[nodiscard]] bool onDrawItem(const DRAWITEMSTRUCT& item) override;
  // Shows the folder's ancestors and `subfolders`.
  void show(std::vector<std::wstring> subfolders);
  // The first folder's subfolders, listed off the window's thread.
  Task<> listLater();
  [[nodiscard]] std::optional<LRESULT> onSubclassed(HWND, UINT message, WPARAM wParam,
                                                    LPARAM lParam) override;

  std::wstring path_;
  std::vector<Entry> entries_;
  std::optional<Task<>> listing_;
  std::wstring typed_;  // the letters typed in a row
  ULONGLONG lastTyped_ = 0;
};

class Win32ComboBox : public Win32Wrapper<ComboBox> {
 public:
  Win32ComboBox(HWND parent, int id);
  std::string text() const override;
  void setText(std::string_view text) override;
  int count() const override;
  std::string item(int index) const override;
  void insertItem(int index, std::string_view text) override;
  void removeItem(int index) override;
  HWND editWindow() const { return edit_; }
  // Hands on Enter pressed in the field (`deliver` gives it to the window) so that the line runs
  // as it shows: the open list of suggestions is closed first, and an entry that the list puts
  // into the line on Enter (one the mouse merely rests on) is taken back out.
  void deliverEnter(const std::function<void()>& deliver);

 private:
  [[nodiscard]] std::optional<LRESULT> onSubclassed(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) override;
  // Puts the paths of the files and folders dropped at the caret.
  void insertDroppedPaths(HDROP drop);
  // A message about the list's entries, handled by the combo box itself.
  LRESULT listMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
  HWND edit_ = nullptr;
  std::unique_ptr<Suggestions> suggestions_;  // made when the user first types
  std::optional<std::wstring> expected_;      // the line's text while Enter is handled
};

// A push button; `toolTips` is the tooltip window that shows its tip.
class Win32Button : public Win32Wrapper<Button> {
 public:
  Win32Button(HWND parent, int id, HWND toolTips, bool picture);
  std::string caption() const override { return caption_; }
  void setCaption(std::string_view caption) override;
  void setToolTip(std::string_view text) override;
  void setAccessibleName(std::string_view name) override { nameForScreenReaders(name); }
  void setPicture(HBITMAP picture);

 private:
  [[nodiscard]] bool onCommand(WORD code) override;
  void tellToolTips(UINT message, std::wstring text);
  // Hands the mouse's messages to the tooltip window, which shows the tip when the mouse rests.
  [[nodiscard]] std::optional<LRESULT> onSubclassed(HWND, UINT, WPARAM, LPARAM) override;
  HWND toolTips_;
  std::string caption_;
};

class Win32MenuItem : public MenuItem {
 public:
  Win32MenuItem(HMENU menu, UINT id) : menu_(menu), id_(id) {}
  void setEnabled(bool enabled) override;
  [[nodiscard]] bool enabled() const override;

 private:
  HMENU menu_;
  UINT id_;
};

// A label; a link takes the keyboard focus in the tab order, shows it with a focus rectangle, and
// is clicked with Enter or Space as well as with the mouse.
class Win32Label : public Win32Wrapper<Label> {
 public:
  Win32Label(HWND parent, int id, std::string_view caption, bool link = false);
  void setCaption(std::string_view caption) override;

 private:
  [[nodiscard]] bool onCommand(WORD code) override;
  [[nodiscard]] std::optional<LRESULT> onSubclassed(HWND, UINT message, WPARAM wParam,
                                                    LPARAM) override;
};

class Win32MessageBox : public MessageBoxService {
 public:
  explicit Win32MessageBox(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }
  void show(std::string_view text) override;

 private:
  HWND owner_;
};

}  // namespace promptella
