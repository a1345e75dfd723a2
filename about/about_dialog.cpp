// The About dialog's handlers and the opening of documents through the shell.
#include "about/about_dialog.h"

#include "settings/file_names.h"

namespace promptella {

long OpenDocument(Shell& shell, std::string_view document) {
  constexpr int kShowNormal = 1;
  return shell.execute("Open", document, "", "C:\\", kShowNormal);
}

frmAbout::frmAbout(AboutView& view, Shell& shell) : view_(view), shell_(shell) {
  view_.onOk = [this] { cmdOK_Click(); };
  view_.onLink = [this] { lblLink_Click(); };
}

std::string frmAbout::creditText() {
  return std::string(kProductName) + " " + std::string(kVersion) + " : " +
         std::string(kDescription) + "\r\n" + std::string(kCopyright) + "\r\n" +
         std::string(kCredits);
}

void frmAbout::Form_Load() {
  view_.setCredit(creditText());
  view_.setLink(kWebSite);
}

void frmAbout::cmdOK_Click() {
  view_.unload();
}

void frmAbout::lblLink_Click() {
  OpenDocument(shell_, kWebSite);  // a site that cannot be opened is no reason to tell the user
}

}  // namespace promptella
