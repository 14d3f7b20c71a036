#include "dialogs/gamehall_win.h"

#include "dialogs/downgamedlg_win.h"

namespace dialogs {

void RunGameHallDownload(const std::wstring& hallId, HWND parent) {
    CDownGameDlg dialog(hallId, parent);
    dialog.DoModal();
}

}  // namespace dialogs
