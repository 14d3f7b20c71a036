#include "ui/msgboxdlg_win.h"

#include "framework/text_win.h"
#include "ui/draw_win.h"
#include "ui/msgbox_layout.h"

namespace tamsolo::ui {

FW_BEGIN_MESSAGE_MAP(CMessageBox, CDlgEx)
FW_ON_MESSAGE(WM_PAINT, OnPaint)
FW_ON_MESSAGE(WM_CLOSE, OnClose)
FW_ON_COMMAND(kMsgBoxFirstButtonId, OnFirstButton)
FW_ON_COMMAND(kMsgBoxSecondButtonId, OnSecondButton)
FW_END_MESSAGE_MAP()

CMessageBox::CMessageBox(HWND parent, int style, const std::wstring& title, const std::wstring& text,
                         HBITMAP background, HBITMAP closeImage, HBITMAP firstButtonImage, HBITMAP secondButtonImage)
    : CDlgEx(kMessageBoxTemplate, parent),
      background_(background),
      closeImage_(closeImage),
      firstButtonImage_(firstButtonImage),
      secondButtonImage_(secondButtonImage),
      text_(text),
      title_(title),
      style_(style) {}

SIZE CMessageBox::MeasureText(HDC dc) const {
    RECT box{0, 0, 0, 0};
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &box, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

BOOL CMessageBox::OnInitDialog() {
    CDlgEx::OnInitDialog();
    titleHeight = 30;
    borderWidth = 4;
    buttonRightMargin = 0;
    buttonTop = 0;
    buttonSpacing = 0;
    SetSkin(background_.Release(), false, true, closeImage_.Get());
    SetTitle(title_);
    lineCount_ = MsgBoxLineCount(fw::U(text_));

    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    SIZE text{};
    {
        fw::WindowDc dc(m_hWnd);
        fw::Selection select(dc.Get(), font);
        text = MeasureText(dc.Get());
    }
    const SIZE strip = BitmapSize(firstButtonImage_.Get());
    // Without its image a button still needs room for its caption, or the box could not be
    // answered at all.
    const Size button = strip.cx >= 4 && strip.cy > 0 ? Size{strip.cx / 4, strip.cy} : Size{57, 23};
    const Size window = MsgBoxWindowSize(text.cx, text.cy, lineCount_, button);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.cx, window.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const std::vector<Rect> rects = MsgBoxButtonRects(style_, Size{client.right, client.bottom}, button);
    const std::vector<MsgBoxButton> buttons = MsgBoxButtons(style_);
    CBtnEx* controls[] = {&firstButton_, &secondButton_};
    HBITMAP images[] = {firstButtonImage_.Get(), secondButtonImage_.Get()};
    for (size_t i = 0; i < buttons.size() && i < rects.size(); ++i) {
        const std::wstring caption = fw::W(buttons[i].caption);
        const RECT r{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        if (!controls[i]->Create(caption.c_str(), WS_CHILD | WS_VISIBLE, r, m_hWnd, static_cast<UINT>(buttons[i].id))) {
            continue;
        }
        controls[i]->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls[i]->SetImage(images[i], true);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

void CMessageBox::DrawMessage(HDC dc) {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    fw::Selection select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, textColor);
    const SIZE text = MeasureText(dc);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    for (const MsgBoxLine& line : MsgBoxLines(fw::U(text_), client.right, text.cx, text.cy)) {
        const std::wstring w = fw::W(line.text);
        RECT box{line.left, line.top, line.left + text.cx, client.bottom};
        ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
}

LRESULT CMessageBox::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc) DrawMessage(dc);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

// The close caption button and Alt+F4 end the box with Cancel, whatever its buttons say.
LRESULT CMessageBox::OnClose(WPARAM, LPARAM) {
    EndDialog(IDCANCEL);
    return 0;
}

void CMessageBox::OnFirstButton() { EndDialog(MsgBoxResultFor(style_, kMsgBoxFirstButtonId)); }

void CMessageBox::OnSecondButton() { EndDialog(MsgBoxResultFor(style_, kMsgBoxSecondButtonId)); }

}  // namespace tamsolo::ui
