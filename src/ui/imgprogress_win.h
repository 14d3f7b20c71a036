// CImgProgress: a progress bar drawn from a background image and a fill image, the fill in
// two pieces so both of its rounded ends show at any length.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/handle_win.h"
#include "framework/wnd_win.h"

namespace tamsolo::ui {

class CImgProgress : public fw::CWnd {
public:
    CImgProgress() = default;

    bool SubclassDlgItem(UINT id, fw::CWnd* parent) { return fw::CWnd::SubclassDlgItem(id, parent); }
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Takes ownership of both images and sizes the bar to the background.
    void SetImages(HBITMAP background, HBITMAP fill);
    void SetPos(int pos) { SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)); }
    void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }

    bool showText = false;
    COLORREF textColor = 0;

    RECT BarRect() const { return barRect_; }
    RECT FillRect() const { return fillRect_; }

    void PaintInto(HDC dc);

protected:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    fw::Bitmap background_;
    fw::Bitmap fill_;
    RECT barRect_{};
    RECT fillRect_{};
};

}  // namespace tamsolo::ui
