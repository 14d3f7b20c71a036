#include "ui/msgbox_win.h"

#include "framework/dialog_win.h"
#include "ui/image_win.h"
#include "ui/msgboxdlg_win.h"

int ShowMessageBox(int style, const std::wstring& title, const std::wstring& text, HWND owner) {
    using namespace tamsolo::ui;
    HMODULE module = fw::ResourceModule();
    // Each button gets its own copy of the strip.
    HBITMAP first = LoadSkinImage(module, 133);
    HBITMAP second = LoadSkinImage(module, 133);
    HBITMAP close = LoadSkinImage(module, 132);
    HBITMAP background = LoadSkinImage(module, 131);
    CMessageBox box(owner, style, title, text, background, close, first, second);
    return static_cast<int>(box.DoModal());
}
