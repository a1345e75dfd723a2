// The program's message boxes.
#include "platform/win32/controls.h"

#include "platform/win32/off_thread.h"
#include "platform/win32/text.h"
#include "product.h"

namespace promptella {

void Win32MessageBox::show(std::string_view text) {
  const ModalScope modal;
  MessageBoxW(owner_, widen(text).c_str(), kProductNameWide, MB_OK);
}

}  // namespace promptella
