// The About dialog's handlers and the opening of documents through the shell.
#include "about/about_box.h"

#include <optional>

#include "product.h"

namespace promptella {

Outcome openDocument(Shell& shell, std::string_view document) {
  constexpr int kShowNormal = 1;
  return shell.execute("Open", document, "", "C:\\", kShowNormal);
}

AboutBox::AboutBox(AboutView& view, Shell& shell) : view_(view), shell_(shell) {
  view_.onOk = [this] { onOk(); };
  view_.onLink = [this] { onLink(); };
}

std::string AboutBox::creditText() {
  return std::string(kProductName) + " " + std::string(kVersion) + " : " +
         std::string(kDescription) + "\r\n" + std::string(kCopyright) + "\r\n" +
         std::string(kCredits);
}

void AboutBox::show(DialogService& dialogs, Shell& shell) {
  std::optional<AboutBox> box;
  dialogs.showAbout([&](AboutView& view) {
    box.emplace(view, shell);
    box->load();
  });
}

void AboutBox::load() {
  view_.setCredit(creditText());
  view_.setLink(kWebSite);
}

void AboutBox::onOk() {
  view_.unload();
}

void AboutBox::onLink() {
  // A site that cannot be opened is no reason to tell the user.
  static_cast<void>(openDocument(shell_, kWebSite));
}

}  // namespace promptella
