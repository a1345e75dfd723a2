// The program's pictures, drawn by its own code: the window icon, the store button's triangle and
// the pointing-hand pointer of the console-mode link.
#pragma once

#include <windows.h>

namespace promptella {

// A yellow square showing a drive prompt "C:>" under a drive slot, `size` pixels square.
HICON createProgramIcon(int size);
// A black triangle pointing right on a framed grey face, 25 x 21 pixels at 96 DPI.
HBITMAP createStoreTriangle(int dpi);
// A pointing hand, hot spot at the tip of the index finger.
HCURSOR createHandCursor();

}  // namespace promptella
