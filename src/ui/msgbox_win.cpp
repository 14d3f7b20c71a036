// Plain system message box until the skinned one replaces this body.
#include "ui/msgbox_win.h"

int ShowMessageBox(int style, const std::wstring& title, const std::wstring& text, HWND owner) {
    UINT type = style == 4 ? MB_YESNO : style == 1 ? MB_OKCANCEL : MB_OK;
    return ::MessageBoxW(owner, text.c_str(), title.c_str(), type);
}
