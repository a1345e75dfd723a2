// Console mode: the companion console becomes the program's input until a line beginning with
// "halt". The click handler returns only when the mode ends.
#include "mainwindow/main_form.h"

namespace promptella {
namespace {

std::string product() {
  return std::string(kProductName);
}

bool endsConsoleMode(std::string_view line) {
  std::string prefix(line.substr(0, 4));
  for (char& c : prefix) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return prefix == "HALT";
}

}  // namespace

std::string consoleModeTitle() {
  return product() + " - Type 'halt' to return " + product() + " mode";
}

std::string consoleModeNotice() {
  return product() + " is now disabled\r\nConsole input is enabled\r\n\r\nType 'halt' to return " +
         product() + " mode";
}

void MainForm::setCommandControlsEnabled(bool enabled) {
  c_.Lecteurs.setEnabled(enabled);
  c_.Chemins.setEnabled(enabled);
  c_.lstCommandes.setEnabled(enabled);
  for (Label* label : c_.legends) label->setEnabled(enabled);
  for (std::size_t i = 0; i < c_.cmdStored.size(); ++i) {
    c_.cmdAdd[i]->setEnabled(enabled);
    // Back from console mode, a slot is usable exactly when it holds a command.
    const bool filled = enabled && !c_.cmdStored[i]->caption().empty();
    c_.cmdStored[i]->setEnabled(filled);
    c_.mnuCommand[i]->setEnabled(filled);
  }
}

void MainForm::lblModeConsole_Click() {
  s_.console.SetTitle(consoleModeTitle());
  setCommandControlsEnabled(false);
  c_.window.repaint();
  s_.messages.show(consoleModeNotice());

  for (;;) {
    const auto line = s_.console.ConsoleRead();
    if (!line) {
      // Without a console there is nothing to wait for: end as if "halt" had been typed.
      s_.messages.show("No line could be read from the console, so console mode has ended.");
      break;
    }
    if (endsConsoleMode(*line)) break;
    runCommand(*line);
    c_.window.repaint();
  }

  s_.console.SetTitle(kConsoleTitle);
  setCommandControlsEnabled(true);
  c_.window.repaint();
  c_.window.takeFocus();
}

}  // namespace promptella
