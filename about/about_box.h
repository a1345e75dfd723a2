// The About box: the product, its maker and a link to the maker's web site.
#pragma once

#include <string_view>

#include "platform/dialogs.h"

namespace promptella {

inline constexpr std::string_view kWebSite = "https://promptella.github.io";
inline constexpr std::string_view kDescription = "DOS commands from a window";
inline constexpr std::string_view kCopyright = "Copyright \xC2\xA9 2026 the Promptella developers";
inline constexpr std::string_view kCredits = "Written by the Promptella team in C++ on Win32";

// Has the system shell open `document` (a file, a folder or a web address) with its default action.
Outcome openDocument(Shell& shell, std::string_view document);

class AboutBox {
 public:
  // Wires the view's OK button and link, and fills in the credit text and the link.
  AboutBox(AboutView& view, Shell& shell);

  // Shows the box and returns once it is closed.
  static void show(DialogService& dialogs, Shell& shell);

 private:
  AboutView& view_;
  Shell& shell_;
};

}  // namespace promptella
