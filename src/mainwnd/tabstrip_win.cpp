// The tab strip of the main window: drawing, hover with the close buttons and the tooltip,
// and the mouse buttons on the tabs.
#include "framework/text_win.h"
#include "mainwnd/quorvane3dlg_win.h"
#include "ui/image_win.h"

namespace mainwnd {

namespace {

RECT ToRECT(const tamsolo::ui::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The caption colour on the tab pictures (dark text on the light tab body).
constexpr COLORREF kTabTextColor = RGB(40, 40, 40);

// Signed: points left of or above a screen edge are negative.
POINT PointOf(LPARAM l) { return POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))}; }

bool LeftButtonDown() {
    const int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (::GetAsyncKeyState(button) & 0x8000) != 0;
}

}  // namespace

void CQuorvane3Dlg::BuildTabStrip() {
    const HMODULE module = fw::ResourceModule();
    fw::Bitmap tabs(tamsolo::ui::LoadSkinImage(module, 140));
    fw::Bitmap closes(tamsolo::ui::LoadSkinImage(module, 141));
    tabImages_ = tamsolo::ui::MakeFrameList(tabs.Get(), 3);
    closeImages_ = tamsolo::ui::MakeFrameList(closes.Get(), 3);

    tamsolo::ui::EnsureCommonControls();
    tooltip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_.Get(), TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(500, 0));
    ::SendMessageW(tooltip_.Get(), TTM_ACTIVATE, FALSE, 0);
}

void CQuorvane3Dlg::Invalidate(const tamsolo::ui::Rect& r, bool erase) {
    const RECT rc = ToRECT(r);
    ::InvalidateRect(m_hWnd, &rc, erase ? TRUE : FALSE);
}

// ------------------------------------------------------------------ drawing

void CQuorvane3Dlg::DrawTabs(HDC dc) {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    fw::Selection select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTabTextColor);
    for (int i = 0; i < pages_.Count(); ++i) {
        const tamsolo::ui::Rect tab = tamsolo::TabRect(i);
        if (tabImages_) {
            ::ImageList_Draw(tabImages_.Get(), tamsolo::TabImageIndex(i, pages_.Current(), hover_.Hovered()), dc,
                             tab.left, tab.top, ILD_NORMAL);
        }
        if (i == hover_.Hovered() && hover_.Close() >= 0 && closeImages_) {
            const tamsolo::ui::Rect close = tamsolo::TabCloseRect(i);
            ::ImageList_Draw(closeImages_.Get(), hover_.Close(), dc, close.left, close.top, ILD_NORMAL);
        }
        const std::wstring name = fw::W(pages_.NameAt(i));
        RECT text = ToRECT(tamsolo::TabTextRect(i));
        ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                    DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

LRESULT CQuorvane3Dlg::OnEraseBkgnd(WPARAM w, LPARAM) {
    HDC target = reinterpret_cast<HDC>(w);
    // Only the part being repainted is put together off-screen (a control asks for the few
    // pixels under it), then copied in one block so a tab never flickers over the frame.
    RECT part{};
    ::GetClientRect(m_hWnd, &part);
    RECT clip{};
    const int kind = ::GetClipBox(target, &clip);
    if (kind == NULLREGION) return TRUE;
    if (kind != ERROR) ::IntersectRect(&part, &part, &clip);
    if (::IsRectEmpty(&part)) return TRUE;
    tamsolo::ui::Canvas canvas(target, part.right - part.left, part.bottom - part.top);
    if (!canvas) return tamsolo::ui::CDlgEx::OnEraseBkgnd(w, 0);
    ::SetViewportOrgEx(canvas.Dc(), -part.left, -part.top, nullptr);
    PaintFrame(canvas.Dc());
    DrawTabs(canvas.Dc());
    ::SetViewportOrgEx(canvas.Dc(), 0, 0, nullptr);
    canvas.CopyTo(target, part.left, part.top);
    return TRUE;
}

// ------------------------------------------------------------------ hover

void CQuorvane3Dlg::ApplyHover(const tamsolo::HoverEffects& fx) {
    for (const tamsolo::ui::Rect& r : fx.invalidate) Invalidate(r);
    if (!tooltip_ || fx.tooltip < 0) return;
    if (fx.tooltip == 0) {
        ::SendMessageW(tooltip_.Get(), TTM_ACTIVATE, FALSE, 0);
        return;
    }
    tipText_ = fw::W(pages_.NameAt(fx.tipTab));
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(tipText_.c_str());
    ::SendMessageW(tooltip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_.Get(), TTM_ACTIVATE, TRUE, 0);
}

LRESULT CQuorvane3Dlg::OnNcHitTest(WPARAM w, LPARAM l) {
    const LRESULT hit = tamsolo::ui::CDlgEx::OnNcHitTest(w, l);
    POINT p = PointOf(l);
    ::ScreenToClient(m_hWnd, &p);
    tamsolo::HoverEffects fx = hover_.Move(tamsolo::ui::Point{p.x, p.y}, pages_.Count(), LeftButtonDown(),
                                           hit == HTCAPTION);
    if (fx.trackLeave) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = HOVER_DEFAULT;
        hover_.SetTracking(::TrackMouseEvent(&track) != FALSE);
    }
    ApplyHover(fx);
    return hit;
}

LRESULT CQuorvane3Dlg::OnMouseLeave(WPARAM, LPARAM) {
    ApplyHover(hover_.Leave(true));
    return Default();
}

LRESULT CQuorvane3Dlg::OnNcMouseLeave(WPARAM, LPARAM) {
    ApplyHover(hover_.Leave(false));
    return Default();
}

// ------------------------------------------------------------------ mouse buttons

bool CQuorvane3Dlg::StripPoint(LPARAM screenPoint, POINT* client, int* tab) const {
    *client = PointOf(screenPoint);
    ::ScreenToClient(m_hWnd, client);
    if (!tamsolo::InTabStrip(tamsolo::ui::Point{client->x, client->y}, pages_.Count())) return false;
    *tab = tamsolo::TabAt(client->x);
    return true;
}

bool CQuorvane3Dlg::ClientStripPoint(LPARAM clientPoint, POINT* client, int* tab) const {
    *client = PointOf(clientPoint);
    if (!tamsolo::InTabStrip(tamsolo::ui::Point{client->x, client->y}, pages_.Count())) return false;
    *tab = tamsolo::TabAt(client->x);
    return true;
}

void CQuorvane3Dlg::SelectTab(int t, POINT client) {
    if (t != pages_.Current()) {
        const int old = pages_.Current();
        if (!pages_.Select(t)) return;
        ShowPage(reinterpret_cast<HWND>(pages_.CurrentPage()));
        Invalidate(tamsolo::TabRect(old));
        Invalidate(tamsolo::TabRect(t));
    } else if (startWindow_ && ::IsWindowVisible(startWindow_)) {
        ShowPage(reinterpret_cast<HWND>(pages_.CurrentPage()));
    }
    if (tamsolo::OnTabClose(tamsolo::ui::Point{client.x, client.y}, t)) {
        hover_.Set(t, tamsolo::kClosePressed);
        Invalidate(tamsolo::TabCloseRect(t));
    }
}

void CQuorvane3Dlg::ReleaseOnTab(int t, POINT client) {
    if (tamsolo::OnTabClose(tamsolo::ui::Point{client.x, client.y}, t)) ClosePage(t);
}

LRESULT CQuorvane3Dlg::OnNcLButtonDown(WPARAM w, LPARAM l) {
    POINT p{};
    int t = 0;
    if (StripPoint(l, &p, &t)) {
        SelectTab(t, p);
        return 0;
    }
    return tamsolo::ui::CDlgEx::OnNcLButtonDown(w, l);
}

LRESULT CQuorvane3Dlg::OnLButtonDown(WPARAM, LPARAM l) {
    POINT p{};
    int t = 0;
    if (ClientStripPoint(l, &p, &t)) {
        SelectTab(t, p);
        return 0;
    }
    return Default();
}

LRESULT CQuorvane3Dlg::OnNcLButtonUp(WPARAM, LPARAM l) {
    POINT p{};
    int t = 0;
    if (StripPoint(l, &p, &t)) {
        ReleaseOnTab(t, p);
        return 0;
    }
    return Default();
}

LRESULT CQuorvane3Dlg::OnLButtonUp(WPARAM, LPARAM l) {
    POINT p{};
    int t = 0;
    if (ClientStripPoint(l, &p, &t)) {
        ReleaseOnTab(t, p);
        return 0;
    }
    return Default();
}

LRESULT CQuorvane3Dlg::OnNcLButtonDblClk(WPARAM w, LPARAM l) {
    POINT p{};
    int t = 0;
    if (StripPoint(l, &p, &t)) return 0;  // a double click on a tab neither maximises nor restores
    return tamsolo::ui::CDlgEx::OnNcLButtonDblClk(w, l);
}

LRESULT CQuorvane3Dlg::OnLButtonDblClk(WPARAM w, LPARAM l) {
    POINT p{};
    int t = 0;
    if (ClientStripPoint(l, &p, &t)) return 0;
    return tamsolo::ui::CDlgEx::OnLButtonDblClk(w, l);
}

LRESULT CQuorvane3Dlg::OnMButtonUp(WPARAM, LPARAM l) {
    POINT p{};
    int t = 0;
    if (ClientStripPoint(l, &p, &t)) {
        ClosePage(t);
        return 0;
    }
    return Default();
}

LRESULT CQuorvane3Dlg::OnNcMButtonUp(WPARAM, LPARAM l) {
    POINT p{};
    int t = 0;
    if (StripPoint(l, &p, &t)) {
        ClosePage(t);
        return 0;
    }
    return Default();
}

}  // namespace mainwnd
