// The program's two dialogs as the handlers see them, the modal show, and the system shell.
#pragma once

#include <functional>
#include <string_view>

#include "platform/outcome.h"

namespace promptella {

// The clear confirmation: a bold question, the command below it, Yes and No. Esc and the close
// button raise onNo.
class YesNoView {
 public:
  virtual ~YesNoView() = default;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setQuestion(std::string_view text) = 0;
  virtual void setCommand(std::string_view text) = 0;
  virtual void unload() = 0;
  std::function<void()> onYes, onNo;
};

// The About box: the credit text, the web site link and OK (also Enter and Esc).
class AboutView {
 public:
  virtual ~AboutView() = default;
  virtual void setCredit(std::string_view text) = 0;
  virtual void setLink(std::string_view text) = 0;
  virtual void unload() = 0;
  std::function<void()> onOk, onLink;
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  // Each creates the dialog, hands its view to `load` (which wires the handlers and fills the
  // texts) before showing it, and returns once the dialog has been unloaded. While it is open the
  // main window takes no input.
  virtual void showYesNo(const std::function<void(YesNoView&)>& load) = 0;
  virtual void showAbout(const std::function<void(AboutView&)>& load) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute with the desktop window as owner.
  virtual Outcome execute(std::string_view operation, std::string_view document,
                          std::string_view parameters, std::string_view directory, int show) = 0;
};

}  // namespace promptella
