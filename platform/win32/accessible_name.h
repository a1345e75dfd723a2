// Accessible names for controls whose text does not say what they are (a picture button, a slot
// button showing only its command, a combo box): the control answers WM_GETOBJECT with the
// system's own accessible object for it, wrapped so that only its name is ours.
#pragma once

#include <windows.h>

#include <string>

namespace promptella {

// The answer to WM_GETOBJECT for `window` when `objectId` is OBJID_CLIENT and `name` is set;
// nothing (0, for the window's own procedure to answer) otherwise.
LRESULT accessibleObjectNamed(HWND window, WPARAM flags, LPARAM objectId, const std::wstring& name);

}  // namespace promptella
