// Menu entries.
#include "platform/win32/controls.h"

namespace promptella {

void Win32MenuItem::setEnabled(bool enabled) {
  EnableMenuItem(menu_, id_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32MenuItem::enabled() const {
  return !(GetMenuState(menu_, id_, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

}  // namespace promptella
