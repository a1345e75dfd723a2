// Modal dialogs built from an empty in-memory template: the dialog manager gives them the modal
// loop, Enter, Esc, Tab and the close button; their controls come from the layout tables, at
// their twips positions.
#include "ui/win32/dialogs.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "mainwindow/control_ids.h"
#include "mainwindow/layout.h"
#include "platform/win32/base_window.h"
#include "platform/win32/colours.h"
#include "platform/win32/controls.h"
#include "platform/win32/off_thread.h"
#include "platform/win32/system_function.h"
#include "platform/win32/text.h"
#include "ui/win32/fonts.h"

namespace promptella {
namespace {
HWND lastOpenedDialog = nullptr;
}  // namespace

HWND lastProgramDialog() {
  return lastOpenedDialog;
}

namespace {

// What both dialogs share: the template, their controls built from a layout table and placed in
// twips, the size of the client area, the place they open at, and the messages they take.
class Dialog : public BaseWindow<Dialog> {
 public:
  Dialog(HWND owner, DWORD exStyle, const layout::Dialog& layout)
      : owner_(owner), exStyle_(exStyle), layout_(layout) {}
  virtual ~Dialog() = default;

  void run() {
    // DLGTEMPLATE, then empty menu, class and title arrays; no controls.
    std::vector<WORD> memory(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3 + 1, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(memory.data());
    header->style = kStyle;
    header->dwExtendedStyle = exStyle_;
    const ModalScope modal;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), header, owner_, dialogProc,
                            reinterpret_cast<LPARAM>(this));
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        lastOpenedDialog = hwnd();
        createControls();
        loaded();
        layOut();
        centreOver(centredOver());
        return FALSE;  // the dialog has set the focus itself
      case WM_COMMAND:
        return command(LOWORD(wParam));
      case WM_CTLCOLORDLG:  // its own background; its controls ask their wrappers
        if (!colours_) return FALSE;
        return reinterpret_cast<INT_PTR>(
            colours_->apply(reinterpret_cast<HDC>(wParam), highContrastOn()));
      case WM_SETCURSOR:
        if (!setCursor(reinterpret_cast<HWND>(wParam))) return FALSE;
        SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
        return TRUE;
      case WM_DPICHANGED:
        followDpiChange(wParam, lParam);
        layOut();
        return TRUE;
      default:
        return FALSE;
    }
  }

 protected:
  // The texts and handlers are set; the first control of the table takes the focus.
  virtual void loaded() = 0;
  // The window the dialog opens centred over; null for the centre of the screen.
  virtual HWND centredOver() const = 0;
  virtual bool command(int id) = 0;  // IDOK / IDCANCEL from the dialog manager
  virtual bool setCursor(HWND /*control*/) { return false; }

  Win32Label& label(int id) const { return *labels_.at(id); }
  Win32Button& button(int id) const { return *buttons_.at(id); }
  HFONT font(layout::Font which) const { return fonts_[which]; }

  HWND owner_;
  std::optional<Colours> colours_;  // the dialog's own, else the system's

 private:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

  void createControls() {
    for (const auto& item : layout_.controls) {
      if (item.kind == layout::Kind::PushButton) {
        auto created = std::make_unique<Win32Button>(hwnd(), item.id, nullptr, false);
        SetWindowTextW(created->hwnd(), widen(item.text).c_str());  // "&Yes": an access key
        buttons_[item.id] = std::move(created);
      } else {
        labels_[item.id] = std::make_unique<Win32Label>(hwnd(), item.id, item.text,
                                                        item.kind == layout::Kind::Link);
      }
    }
  }

  // Sizes the client area and places and sizes the controls for the current DPI.
  void layOut() {
    RECT frame{0, 0, px(layout_.clientWidth), px(layout_.clientHeight)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, exStyle_, static_cast<UINT>(dpi_));
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    fonts_.make(dpi_);
    for (const auto& item : layout_.controls) {
      const HWND control = GetDlgItem(hwnd(), item.id);
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[item.font]), FALSE);
      int width = px(item.width), height = px(item.height);
      if (item.width == 0) {  // as wide as its text
        const std::wstring text = windowText(control);
        SIZE extent{};
        const ScopedGetDC dc(control);
        const ScopedSelect select(dc.get(), fonts_[item.font]);
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        width = extent.cx + 2;
        height = std::max<int>(extent.cy, height);
      }
      MoveWindow(control, px(item.left), px(item.top), width, height, FALSE);
    }
  }

  void centreOver(HWND over) {
    RECT area{}, frame{};
    if (over) {
      GetWindowRect(over, &area);
    } else {
      area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    GetWindowRect(hwnd(), &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(hwnd(), nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  }

  DWORD exStyle_;
  const layout::Dialog& layout_;
  std::map<int, std::unique_ptr<Win32Label>> labels_;
  std::map<int, std::unique_ptr<Win32Button>> buttons_;
  FontSet fonts_;
};

// The clear confirmation: a tool window over the main window; Yes has the focus, Esc and the
// close button act as No.
class YesNoDialog final : public Dialog, public YesNoView {
 public:
  YesNoDialog(HWND owner, const std::function<void(YesNoView&)>& load)
      : Dialog(owner, WS_EX_TOOLWINDOW, layout::clearConfirmation()), load_(load) {}

  void setTitle(std::string_view title) override { SetWindowTextW(hwnd(), widen(title).c_str()); }
  void setQuestion(std::string_view text) override { label(ids::kClearQuestion).setCaption(text); }
  void setCommand(std::string_view text) override { label(ids::kClearCommand).setCaption(text); }
  void unload() override { EndDialog(hwnd(), 0); }

 private:
  void loaded() override {
    button(ids::kClearYes).onClick = [this] {
      if (onYes) onYes();
    };
    button(ids::kClearNo).onClick = [this] {
      if (onNo) onNo();
    };
    load_(*this);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button(ids::kClearYes).hwnd()),
                 TRUE);
  }
  HWND centredOver() const override { return owner_; }
  bool command(int id) override {
    if (id == IDCANCEL && onNo) onNo();
    return id == IDCANCEL || id == IDOK;
  }
  std::function<void(YesNoView&)> load_;
};

// The About box: centred on the screen, light orange, with a framed credit text and a link.
class AboutDialog final : public Dialog, public AboutView {
 public:
  AboutDialog(HWND owner, HICON icon, HCURSOR hand, const std::function<void(AboutView&)>& load)
      : Dialog(owner, 0, layout::aboutBox()), icon_(icon), hand_(hand), load_(load) {}

  void setCredit(std::string_view text) override { label(ids::kAboutCredit).setCaption(text); }
  void setLink(std::string_view text) override { label(ids::kAboutLink).setCaption(text); }
  void unload() override { EndDialog(hwnd(), 0); }

 private:
  void loaded() override {
    SetWindowTextW(hwnd(), L"About...");
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    const HWND ok = button(ids::kAboutOk).hwnd();
    SetWindowLongPtrW(ok, GWL_STYLE, GetWindowLongPtrW(ok, GWL_STYLE) | BS_DEFPUSHBUTTON);
    const HWND credit = label(ids::kAboutCredit).hwnd();
    SetWindowLongPtrW(credit, GWL_STYLE, GetWindowLongPtrW(credit, GWL_STYLE) | WS_BORDER);
    // Light orange, the credit on a button's face, the link in blue.
    const auto orange = ThemeColour::own(RGB(255, 192, 128), COLOR_BTNFACE);
    const auto text = ThemeColour::system(COLOR_BTNTEXT);
    colours_.emplace(text, orange);
    button(ids::kAboutOk).setColours({text, orange});
    label(ids::kAboutCredit).setColours({text, ThemeColour::system(COLOR_BTNFACE)});
    label(ids::kAboutLink).setColours({ThemeColour::own(RGB(0, 0, 192), COLOR_HOTLIGHT), orange});
    button(ids::kAboutOk).onClick = [this] {
      if (onOk) onOk();
    };
    label(ids::kAboutLink).onClick = [this] {
      if (onLink) onLink();
    };
    load_(*this);
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
  }
  HWND centredOver() const override { return nullptr; }
  bool command(int id) override {
    if ((id == IDCANCEL || id == IDOK) && onOk) onOk();
    return id == IDCANCEL || id == IDOK;
  }
  bool setCursor(HWND control) override {
    if (control != label(ids::kAboutLink).hwnd()) return false;
    SetCursor(hand_);
    return true;
  }

  HICON icon_;
  HCURSOR hand_;
  std::function<void(AboutView&)> load_;
};

}  // namespace

void Win32Dialogs::showYesNo(const std::function<void(YesNoView&)>& load) {
  YesNoDialog(owner_, load).run();
}

void Win32Dialogs::showAbout(const std::function<void(AboutView&)>& load) {
  // Owned by the main window, so that the main window takes no input while it is open.
  AboutDialog(owner_, icon_, hand_, load).run();
}

Outcome Win32Shell::execute(std::string_view operation, std::string_view document,
                            std::string_view parameters, std::string_view directory, int show) {
  const auto shellExecute =
      systemFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  if (!shellExecute) return Outcome::failed(systemErrorText(ERROR_NO_ASSOCIATION));
  // The shell may hand the document to a handler that needs COM on this thread; without it the
  // shell call goes ahead all the same.
  static_cast<void>(startComOnThisThread());
  const auto result =
      shellExecute(GetDesktopWindow(), widen(operation).c_str(), widen(document).c_str(),
                   widen(parameters).c_str(), widen(directory).c_str(), show);
  // Above 32 is success; below, the shell has set the system's reason.
  if (reinterpret_cast<INT_PTR>(result) > 32) return Outcome::success();
  return Outcome::failed(systemErrorText(GetLastError()));
}

}  // namespace promptella
