// Console mode's loop and the controls it hands back.
#include "console/console_mode.h"

#include "platform/utf8.h"
#include "product.h"

namespace promptella {
namespace {

std::string product() {
  return std::string(kProductName);
}

bool endsConsoleMode(std::string_view line) {
  return asciiLower(line.substr(0, 4)) == "halt";
}

}  // namespace

std::string consoleModeTitle() {
  return product() + " - Type 'halt' to return " + product() + " mode";
}

std::string consoleModeNotice() {
  return product() + " is now disabled\r\nConsole input is enabled\r\n\r\nType 'halt' to return " +
         product() + " mode";
}

ConsoleMode::ConsoleMode(Label& link, std::vector<Control*> commandControls,
                         std::function<void(bool)> setSlotsEnabled, CompanionConsole& console,
                         CommandRunner& runner, FormWindow& window, MessageBoxService& messages)
    : commandControls_(std::move(commandControls)),
      setSlotsEnabled_(std::move(setSlotsEnabled)),
      console_(console),
      runner_(runner),
      window_(window),
      messages_(messages) {
  link.onClick = [this] { onLinkClicked(); };
}

void ConsoleMode::setCommandControlsEnabled(bool enabled) {
  for (Control* control : commandControls_) control->setEnabled(enabled);
  setSlotsEnabled_(enabled);
}

void ConsoleMode::onLinkClicked() {
  console_.setTitle(consoleModeTitle());
  setCommandControlsEnabled(false);
  window_.repaint();
  messages_.show(consoleModeNotice());

  for (;;) {
    const auto line = console_.readLine();
    if (!line) {
      // Without a console there is nothing to wait for: end as if "halt" had been typed. When the
      // program is asked to end, it ends without a word.
      if (!console_.ending()) {
        messages_.show("No line could be read from the console, so console mode has ended.");
      }
      break;
    }
    if (endsConsoleMode(*line)) break;
    static_cast<void>(runner_.run(*line));  // a batch that could not start has been told
    window_.repaint();
  }

  console_.setTitle(kConsoleTitle);
  setCommandControlsEnabled(true);
  window_.repaint();
  window_.takeFocus();
}

}  // namespace promptella
