// The About dialog's handlers and the opening of documents through the shell.
#include "about/about_box.h"

#include <optional>
#include <string>

#include "product.h"

namespace promptella {

Outcome openDocument(Shell& shell, std::string_view document) {
  constexpr int kShowNormal = 1;
  return shell.execute("Open", document, "", "C:\\", kShowNormal);
}

AboutBox::AboutBox(AboutView& view, Shell& shell) : view_(view), shell_(shell) {
  view_.onOk = [this] { view_.unload(); };
  // A site that cannot be opened is no reason to tell the user.
  view_.onLink = [this] { static_cast<void>(openDocument(shell_, kWebSite)); };
  view_.setCredit(std::string(kProductName) + " " + std::string(kVersion) + " : " +
                  std::string(kDescription) + "\r\n" + std::string(kCopyright) + "\r\n" +
                  std::string(kCredits));
  view_.setLink(kWebSite);
}

void AboutBox::show(DialogService& dialogs, Shell& shell) {
  std::optional<AboutBox> box;
  dialogs.showAbout([&](AboutView& view) { box.emplace(view, shell); });
}

}  // namespace promptella
