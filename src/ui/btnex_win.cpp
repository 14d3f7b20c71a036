#include "ui/btnex_win.h"

#include <vector>

namespace tamsolo::ui {

FW_BEGIN_MESSAGE_MAP(CBtnEx, fw::CWnd)
FW_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
FW_ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
FW_ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
FW_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_END_MESSAGE_MAP()

namespace {

std::wstring WindowText(HWND wnd) {
    const int len = ::GetWindowTextLengthW(wnd);
    if (len <= 0) return std::wstring();
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    const int got = ::GetWindowTextW(wnd, buf.data(), len + 1);
    return std::wstring(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

}  // namespace

bool CBtnEx::SubclassDlgItem(UINT id, fw::CWnd* parent) {
    if (!fw::CWnd::SubclassDlgItem(id, parent)) return false;
    OnAttached();
    return true;
}

bool CBtnEx::Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CreateEx(0, text ? text : L"", style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), L"BUTTON")) {
        return false;
    }
    OnAttached();
    return true;
}

void CBtnEx::OnAttached() {
    // A button made again on the same object (the frame remakes its caption buttons with
    // every skin) starts afresh: no hover, no latched press, no tracking request pending.
    ClearHover();
    pressedLatch_ = false;
    caption_ = WindowText(m_hWnd);
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    RefreshWindowRect();
}

void CBtnEx::RefreshWindowRect() {
    if (m_hWnd) ::GetWindowRect(m_hWnd, &windowRect_);
}

void CBtnEx::SetImage(HBITMAP strip, bool resize) {
    stateImages_ = MakeFrameList(strip, 4);
    const SIZE size = BitmapSize(strip);
    frameSize_ = stateImages_ ? SIZE{size.cx / 4, size.cy} : SIZE{0, 0};
    if (resize && m_hWnd && stateImages_) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, frameSize_.cx, frameSize_.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RefreshWindowRect();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBtnEx::SetTooltip(const std::wstring& text) {
    tooltipText_ = text;
    tooltipOn_ = true;
    if (!m_hWnd) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(tooltipText_.c_str());
    if (!tooltip_) {
        EnsureCommonControls();
        tooltip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                         nullptr, nullptr, nullptr));
        if (!tooltip_) return;
        ::SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(tooltip_.Get(), TTM_SETDELAYTIME, TTDT_AUTOMATIC, 660);
    } else {
        ::SendMessageW(tooltip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CBtnEx::ClearHover() {
    hovered_ = false;
    tracking_ = false;
}

int CBtnEx::FrameForState(UINT itemState) {
    if (itemState & (ODS_DISABLED | ODS_GRAYED)) return 3;
    if ((itemState & ODS_SELECTED) || pressedLatch_) {
        // Keep the pressed look while the button is held, even off the button.
        pressedLatch_ = true;
        return 2;
    }
    return hovered_ ? 1 : 0;
}

void CBtnEx::DrawInto(HDC dc, UINT itemState) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right, h = client.bottom;
    const int frame = FrameForState(itemState);
    Canvas canvas(dc, w, h);
    if (!canvas) return;
    PaintParentBackground(m_hWnd, canvas.Dc());
    if (stateImages_) {
        if (frameSize_.cx == w && frameSize_.cy == h) {
            ::ImageList_Draw(stateImages_.Get(), frame, canvas.Dc(), 0, 0, ILD_TRANSPARENT);
        } else {
            // A button of another size: stretch the frame, keeping magenta transparent.
            Canvas scratch(dc, frameSize_.cx, frameSize_.cy);
            if (scratch) {
                fw::Brush key(::CreateSolidBrush(kColorKey));
                RECT all{0, 0, frameSize_.cx, frameSize_.cy};
                ::FillRect(scratch.Dc(), &all, key.Get());
                ::ImageList_Draw(stateImages_.Get(), frame, scratch.Dc(), 0, 0, ILD_TRANSPARENT);
                KeyedCopy(canvas.Dc(), 0, 0, w, h, scratch.Dc(), 0, 0, frameSize_.cx, frameSize_.cy);
            }
        }
    }
    if (!caption_.empty()) {
        ::SetBkMode(canvas.Dc(), TRANSPARENT);
        ::SetTextColor(canvas.Dc(), frame == 3 ? ::GetSysColor(COLOR_GRAYTEXT) : textColor);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        fw::Selection select(canvas.Dc(), font);
        RECT text{0, 0, w, h};
        ::DrawTextW(canvas.Dc(), caption_.c_str(), static_cast<int>(caption_.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    canvas.CopyTo(dc);
}

BOOL CBtnEx::OnChildNotify(UINT msg, WPARAM, LPARAM l, LRESULT* result) {
    if (msg != WM_DRAWITEM || !l) return FALSE;
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    DrawInto(item->hDC, item->itemState);
    *result = TRUE;
    return TRUE;
}

LRESULT CBtnEx::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    if (tooltipOn_ && tooltip_ && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        MSG relay{m_hWnd, msg, w, l, 0, {}};
        ::SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    return fw::CWnd::WindowProc(msg, w, l);
}

void CBtnEx::PostNcDestroy() {
    // The tooltip is owned by the top-level window and usually dies with it before we get
    // here; never destroy a handle value that may since belong to another window.
    HWND tip = tooltip_.Release();
    if (tip && ::IsWindow(tip)) ::DestroyWindow(tip);
    tooltipOn_ = false;
    ClearHover();
    pressedLatch_ = false;
}

LRESULT CBtnEx::OnMouseMove(WPARAM, LPARAM) {
    if (!tracking_) tracking_ = TrackHoverAndLeave(m_hWnd);
    return Default();
}

LRESULT CBtnEx::OnMouseHover(WPARAM, LPARAM) {
    hovered_ = true;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (tooltipOn_) SetTooltip(tooltipText_);
    return 0;
}

LRESULT CBtnEx::OnMouseLeave(WPARAM, LPARAM) {
    hovered_ = false;
    tracking_ = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CBtnEx::OnLButtonUp(WPARAM, LPARAM) {
    // Released away from the button, the button's own state does not change, so nothing would
    // repaint the latched pressed frame: ask for that repaint here (before the click, which may
    // take the button away).
    if (pressedLatch_) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    pressedLatch_ = false;
    return Default();
}

LRESULT CBtnEx::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

LRESULT CBtnEx::OnSize(WPARAM, LPARAM) {
    const LRESULT r = Default();
    RefreshWindowRect();
    return r;
}

}  // namespace tamsolo::ui
