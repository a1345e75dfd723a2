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

std::string consoleModeTitle() {
  return product() + " - Type 'halt' to return " + product() + " mode";
}

}  // namespace

std::string consoleModeNotice() {
  return product() + " is now disabled\r\nConsole input is enabled\r\n\r\nType 'halt' to return " +
         product() + " mode";
}

ConsoleMode::ConsoleMode(Label& link, std::vector<Control*> commandControls,
                         std::function<void(bool)> setSlotsEnabled, CompanionConsole& console,
                         CommandRunner& runner, FormWindow& window, MessageBoxService& messages,
                         OperationQueue& operations)
    : commandControls_(std::move(commandControls)),
      setSlotsEnabled_(std::move(setSlotsEnabled)),
      console_(console),
      runner_(runner),
      window_(window),
      messages_(messages),
      operations_(operations) {
  link.onClick = [this] { onLinkClicked(); };
}

void ConsoleMode::setCommandControlsEnabled(bool enabled) {
  for (Control* control : commandControls_) control->setEnabled(enabled);
  setSlotsEnabled_(enabled);
}

void ConsoleMode::onLinkClicked() {
  if (active_) return;  // the console has the input already
  active_ = true;
  operations_.add([this] { return enter(); });
}

Task<> ConsoleMode::enter() {
  console_.setTitle(consoleModeTitle());
  setCommandControlsEnabled(false);
  window_.repaint();
  messages_.show(consoleModeNotice());
  reader_.emplace(readLines());
  reader_->start([](std::exception_ptr) {});
  co_return;
}

Task<> ConsoleMode::readLines() {
  for (;;) {
    const std::optional<std::string> line = co_await console_.readLine();
    if (!line || endsConsoleMode(*line)) {
      operations_.add([this, failed = !line] { return leave(failed); });
      co_return;
    }
    // The next line is read once this one's command has ended, as the interpreter itself reads:
    // the console echoes what is typed where its output would go, and the output of a command
    // that still runs would land amid the typing.
    const Later<bool> ran;
    operations_.add([this, line = *line, ran] { return runLine(line, ran); });
    static_cast<void>(co_await ran);
    co_await runner_.lastRunEnded();
  }
}

Task<> ConsoleMode::runLine(std::string line, Later<bool> ran) {
  static_cast<void>(co_await runner_.run(std::move(line)));  // what did not run has been told
  window_.repaint();
  ran.give(true);
}

Task<> ConsoleMode::leave(bool readFailed) {
  // Without a console there is nothing to wait for: it ends as if "halt" had been typed.
  if (readFailed)
    messages_.show("No line could be read from the console, so console mode has ended.");
  console_.setTitle(kConsoleTitle);
  setCommandControlsEnabled(true);
  window_.repaint();
  window_.takeFocus();
  active_ = false;
  co_return;
}

}  // namespace promptella
