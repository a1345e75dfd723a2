// Modal dialogs built from an empty in-memory template: the dialog manager gives them the modal
// loop, Enter, Esc, Tab and the close button; their controls are created at twips positions.
#include "platform/win32/dialogs.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/controls.h"
#include "platform/win32/error_boundary.h"
#include "platform/win32/fonts.h"
#include "platform/win32/text.h"

namespace promptella {
namespace {
HWND lastOpenedDialog = nullptr;
}  // namespace

HWND lastProgramDialog() {
  return lastOpenedDialog;
}

namespace {

struct Placement {
  int left, top, width, height;
};

// The common part of both dialogs: the template, the placement of controls in twips, colours.
class DialogBase {
 public:
  DialogBase(HWND owner, DWORD style, DWORD exStyle, int clientWidth, int clientHeight)
      : owner_(owner),
        style_(style),
        exStyle_(exStyle),
        width_(clientWidth),
        height_(clientHeight) {}
  virtual ~DialogBase() = default;

  void run() {
    // DLGTEMPLATE, then empty menu, class and title arrays; no controls.
    std::vector<WORD> memory(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3 + 1, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(memory.data());
    header->style = style_;
    header->dwExtendedStyle = exStyle_;
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), header, owner_, proc,
                            reinterpret_cast<LPARAM>(this));
  }

 protected:
  virtual void createControls() = 0;
  virtual void placeControls() = 0;
  // The window the dialog opens centred over; null for the centre of the screen.
  virtual HWND centredOver() const = 0;
  virtual bool command(int id) = 0;  // IDOK / IDCANCEL from the dialog manager
  virtual HBRUSH colour(HWND control, HDC dc) = 0;
  virtual bool setCursor(HWND /*control*/) { return false; }

  int px(int twips) const { return MulDiv(twips, dpi_, 1440); }
  void put(HWND control, Placement p) const {
    MoveWindow(control, px(p.left), px(p.top), px(p.width), px(p.height), FALSE);
  }
  void sizeClient() {
    RECT frame{0, 0, px(width_), px(height_)};
    AdjustWindowRectExForDpi(&frame, style_, FALSE, exStyle_, static_cast<UINT>(dpi_));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  void centreOver(HWND over) {
    RECT area{}, frame{};
    if (over) {
      GetWindowRect(over, &area);
    } else {
      area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    GetWindowRect(hwnd_, &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  }

  HWND hwnd_ = nullptr;
  HWND owner_;
  int dpi_ = 96;

 private:
  static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return guarded([&] { return handle(hwnd, message, wParam, lParam); }, INT_PTR{FALSE});
  }
  static INT_PTR handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<DialogBase*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      self->hwnd_ = hwnd;
      lastOpenedDialog = hwnd;
      self->dpi_ = static_cast<int>(GetDpiForWindow(hwnd));
      if (self->dpi_ <= 0) self->dpi_ = 96;
      self->createControls();
      self->sizeClient();
      self->placeControls();
      self->centreOver(self->centredOver());
      return FALSE;  // the dialog has set the focus itself
    }
    if (!self) return FALSE;
    LRESULT routed = 0;
    if (Win32Control::route(message, wParam, lParam, routed)) return TRUE;
    switch (message) {
      case WM_COMMAND:
        return self->command(LOWORD(wParam));
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORBTN:
        return reinterpret_cast<INT_PTR>(
            self->colour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
      case WM_SETCURSOR:
        if (self->setCursor(reinterpret_cast<HWND>(wParam))) {
          SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        return FALSE;
      case WM_DPICHANGED: {
        // Where the system suggests, so that the dialog stays on the monitor it was moved to.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
        self->dpi_ = HIWORD(wParam);
        self->sizeClient();
        self->placeControls();
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  DWORD style_, exStyle_;
  int width_, height_;
};

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// frmYesNo: a tool window over the main window; Yes has the focus, Esc and the close button act
// as No.
class YesNoDialog final : public DialogBase, public YesNoView {
 public:
  YesNoDialog(HWND owner, const std::function<void(YesNoView&)>& load)
      : DialogBase(owner, kDialogStyle, WS_EX_TOOLWINDOW, 3390, 1230), load_(load) {}

  void setTitle(std::string_view title) override { SetWindowTextW(hwnd_, widen(title).c_str()); }
  void setQuestion(std::string_view text) override { question_->setCaption(text); }
  void setCommand(std::string_view text) override { command_->setCaption(text); }
  void unload() override { EndDialog(hwnd_, 0); }

 private:
  void createControls() override {
    // In tab order: the question, Yes, No, the command.
    question_ = std::make_unique<Win32Label>(hwnd_, dialog_ids::kQuestion, "");
    yes_ = std::make_unique<Win32Button>(hwnd_, dialog_ids::kYes, nullptr, false);
    no_ = std::make_unique<Win32Button>(hwnd_, dialog_ids::kNo, nullptr, false);
    command_ = std::make_unique<Win32Label>(hwnd_, dialog_ids::kCommand, "");
    yes_->setCaption("&Yes");
    no_->setCaption("&No");
    SetWindowTextW(yes_->hwnd(), L"&Yes");  // the access keys are meant here
    SetWindowTextW(no_->hwnd(), L"&No");
    yes_->onClick = [this] {
      if (onYes) onYes();
    };
    no_->onClick = [this] {
      if (onNo) onNo();
    };
    load_(*this);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(yes_->hwnd()), TRUE);
  }
  void placeControls() override {
    bold_ = makeFont(825, true, false, dpi_);
    regular_ = makeFont(825, false, false, dpi_);
    question_->setFont(bold_.get());
    for (Win32Control* c :
         std::initializer_list<Win32Control*>{yes_.get(), no_.get(), command_.get()}) {
      c->setFont(regular_.get());
    }
    put(question_->hwnd(), {120, 105, 3135, 225});
    put(command_->hwnd(), {120, 420, 3135, 330});
    put(yes_->hwnd(), {480, 840, 975, 330});
    put(no_->hwnd(), {1920, 840, 975, 330});
  }
  HWND centredOver() const override { return owner_; }
  bool command(int id) override {
    if (id == IDCANCEL && onNo) onNo();
    return id == IDCANCEL || id == IDOK;
  }
  HBRUSH colour(HWND, HDC dc) override {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }

  std::function<void(YesNoView&)> load_;
  std::unique_ptr<Win32Label> question_, command_;
  std::unique_ptr<Win32Button> yes_, no_;
  UniqueFont bold_, regular_;
};

// frmAbout: centred on the screen, light orange, with a framed credit text and a link.
class AboutDialog final : public DialogBase, public AboutView {
 public:
  AboutDialog(HWND owner, HICON icon, HCURSOR hand, const std::function<void(AboutView&)>& load)
      : DialogBase(owner, kDialogStyle, 0, 5730, 2055), icon_(icon), hand_(hand), load_(load) {}

  void setCredit(std::string_view text) override { credit_->setCaption(text); }
  void setLink(std::string_view text) override { link_->setCaption(text); }
  void unload() override { EndDialog(hwnd_, 0); }

 private:
  void createControls() override {
    SetWindowTextW(hwnd_, L"About...");
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ok_ = std::make_unique<Win32Button>(hwnd_, dialog_ids::kOk, nullptr, false);
    SetWindowLongPtrW(ok_->hwnd(), GWL_STYLE,
                      GetWindowLongPtrW(ok_->hwnd(), GWL_STYLE) | BS_DEFPUSHBUTTON);
    SetWindowTextW(ok_->hwnd(), L"&OK");
    credit_ = std::make_unique<Win32Label>(hwnd_, dialog_ids::kCredit, "");
    SetWindowLongPtrW(credit_->hwnd(), GWL_STYLE,
                      GetWindowLongPtrW(credit_->hwnd(), GWL_STYLE) | WS_BORDER);
    link_ = std::make_unique<Win32Label>(hwnd_, dialog_ids::kLink, "");
    ok_->onClick = [this] {
      if (onOk) onOk();
    };
    link_->onClick = [this] {
      if (onLink) onLink();
    };
    load_(*this);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok_->hwnd()), TRUE);
  }
  void placeControls() override {
    regular_ = makeFont(825, false, false, dpi_);
    linkFont_ = makeFont(975, true, true, dpi_);
    ok_->setFont(regular_.get());
    credit_->setFont(regular_.get());
    link_->setFont(linkFont_.get());
    put(credit_->hwnd(), {120, 120, 5535, 855});
    put(ok_->hwnd(), {2160, 1560, 1452, 450});
    // The link is sized to its text.
    wchar_t text[512] = {};
    GetWindowTextW(link_->hwnd(), text, 512);
    HDC dc = GetDC(link_->hwnd());
    HGDIOBJ old = SelectObject(dc, linkFont_.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, old);
    ReleaseDC(link_->hwnd(), dc);
    MoveWindow(link_->hwnd(), px(2970), px(1200), extent.cx + 2, std::max<int>(extent.cy, px(240)),
               FALSE);
  }
  HWND centredOver() const override { return nullptr; }
  bool command(int id) override {
    if ((id == IDCANCEL || id == IDOK) && onOk) onOk();
    return id == IDCANCEL || id == IDOK;
  }
  HBRUSH colour(HWND control, HDC dc) override {
    if (control == credit_->hwnd()) {
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return GetSysColorBrush(COLOR_BTNFACE);
    }
    if (control == link_->hwnd()) SetTextColor(dc, RGB(0, 0, 192));
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, RGB(255, 192, 128));
    if (!background_) background_.reset(CreateSolidBrush(RGB(255, 192, 128)));
    return background_.get();
  }
  bool setCursor(HWND control) override {
    if (control != link_->hwnd()) return false;
    SetCursor(hand_);
    return true;
  }

  HICON icon_;
  HCURSOR hand_;
  std::function<void(AboutView&)> load_;
  std::unique_ptr<Win32Button> ok_;
  std::unique_ptr<Win32Label> credit_, link_;
  UniqueFont regular_, linkFont_;
  UniqueBrush background_;
};

}  // namespace

void Win32Dialogs::showYesNo(const std::function<void(YesNoView&)>& load) {
  YesNoDialog(owner_, load).run();
}

void Win32Dialogs::showAbout(const std::function<void(AboutView&)>& load) {
  // Owned by the main window, so that the main window takes no input while it is open.
  AboutDialog(owner_, icon_, hand_, load).run();
}

long Win32Shell::execute(std::string_view operation, std::string_view document,
                         std::string_view parameters, std::string_view directory, int show) {
  const auto result =
      ShellExecuteW(GetDesktopWindow(), widen(operation).c_str(), widen(document).c_str(),
                    widen(parameters).c_str(), widen(directory).c_str(), show);
  return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

}  // namespace promptella
