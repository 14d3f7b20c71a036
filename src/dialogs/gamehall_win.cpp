// The game-hall download dialog is not built yet: the download question's "yes" does nothing
// until it is. The page side already calls through here.
#include "dialogs/gamehall_win.h"

namespace dialogs {

void RunGameHallDownload(const std::wstring&, HWND) {}

}  // namespace dialogs
