#include "ui/imgprogress_win.h"

#include <commctrl.h>

#include "framework/text_win.h"
#include "ui/draw_win.h"
#include "ui/progress_layout.h"

namespace tamsolo::ui {

FW_BEGIN_MESSAGE_MAP(CImgProgress, fw::CWnd)
FW_ON_MESSAGE(WM_PAINT, OnPaint)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_END_MESSAGE_MAP()

bool CImgProgress::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    EnsureCommonControls();
    return CreateEx(0, L"", style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), PROGRESS_CLASSW);
}

void CImgProgress::SetImages(HBITMAP background, HBITMAP fill) {
    if (background != background_.Get()) background_.Reset(background);
    if (fill != fill_.Get()) fill_.Reset(fill);
    const SIZE bg = BitmapSize(background);
    const SIZE fg = BitmapSize(fill);
    if (m_hWnd && bg.cx > 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, bg.cx, bg.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The bar is exactly the background image; setting images again must not grow it further.
    barRect_ = RECT{0, 0, bg.cx, bg.cy};
    const Rect f = CenteredFillRect(Rect{0, 0, bg.cx, bg.cy}, Size{fg.cx, fg.cy});
    fillRect_ = RECT{f.left, f.top, f.right, f.bottom};
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CImgProgress::PaintInto(HDC dc) {
    const int w = barRect_.right - barRect_.left, h = barRect_.bottom - barRect_.top;
    if (w <= 0 || h <= 0) return;
    Canvas canvas(dc, w, h);
    if (!canvas) return;
    PaintParentBackground(m_hWnd, canvas.Dc());
    fw::MemoryDc src(::CreateCompatibleDC(dc));
    if (src && background_) {
        fw::Selection select(src.Get(), background_.Get());
        KeyedCopy(canvas.Dc(), 0, 0, w, h, src.Get(), 0, 0, w, h);
    }
    const int lower = static_cast<int>(SendMessage(PBM_GETRANGE, TRUE, 0));
    const int upper = static_cast<int>(SendMessage(PBM_GETRANGE, FALSE, 0));
    const int pos = static_cast<int>(SendMessage(PBM_GETPOS));
    if (src && fill_) {
        const SIZE fg = BitmapSize(fill_.Get());
        const FillPieces pieces = ProgressFillPieces(fillRect_.left, fillRect_.right - fillRect_.left, fg.cx, lower,
                                                     upper, pos);
        fw::Selection select(src.Get(), fill_.Get());
        for (const FillPiece& p : {pieces.left, pieces.right}) {
            KeyedCopy(canvas.Dc(), p.destX, fillRect_.top, p.width, fg.cy, src.Get(), p.srcX, 0, p.width, fg.cy);
        }
    }
    if (showText) {
        const std::wstring text = fw::W(ProgressPercentText(lower, upper, pos));
        ::SetBkMode(canvas.Dc(), TRANSPARENT);
        ::SetTextColor(canvas.Dc(), textColor);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        fw::Selection selectFont(canvas.Dc(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        RECT box{0, 0, w, h};
        ::DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    canvas.CopyTo(dc);
}

LRESULT CImgProgress::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc) PaintInto(dc);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CImgProgress::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

}  // namespace tamsolo::ui
