#include "ui/staticex_win.h"

#include <vector>

#include "framework/text_win.h"
#include "ui/label_layout.h"

namespace tamsolo::ui {

FW_BEGIN_MESSAGE_MAP(CStaticEx, fw::CWnd)
FW_ON_MESSAGE(WM_PAINT, OnPaint)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
FW_ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
FW_ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
FW_ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
FW_ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
FW_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
FW_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDown)
FW_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
FW_ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
FW_END_MESSAGE_MAP()

namespace {

const wchar_t kLabelFace[] = L"微软雅黑";
const wchar_t kSample[] = L"测试用汉字来获取宽度";

std::wstring WindowText(HWND wnd) {
    const int len = ::GetWindowTextLengthW(wnd);
    if (len <= 0) return std::wstring();
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 1);
    const int got = ::GetWindowTextW(wnd, buf.data(), len + 1);
    return std::wstring(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

UINT FormatFromStyle(LONG_PTR style) {
    UINT format = DT_WORDBREAK;
    const LONG_PTR kind = style & SS_TYPEMASK;
    if (kind == SS_CENTER) format |= DT_CENTER | DT_VCENTER;
    if (kind == SS_RIGHT) format |= DT_RIGHT;
    if ((style & SS_ELLIPSISMASK) == SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
    if ((style & SS_ELLIPSISMASK) == SS_PATHELLIPSIS) format |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
    if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;
    return format;
}

}  // namespace

bool CStaticEx::SubclassDlgItem(UINT id, fw::CWnd* parent) {
    if (!fw::CWnd::SubclassDlgItem(id, parent)) return false;
    text = WindowText(m_hWnd);
    return true;
}

bool CStaticEx::Create(const wchar_t* initial, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CreateEx(0, initial ? initial : L"", style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), L"STATIC")) {
        return false;
    }
    text = WindowText(m_hWnd);
    return true;
}

void CStaticEx::SetImage(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    imageWidth_ = size.cx;
    imageHeight_ = size.cy;
    image_ = MakeFrameList(bitmap, 1);
    imageOnRight = false;
}

HFONT CStaticEx::LabelFont() {
    if (font_) return font_.Get();
    HFONT base = m_hWnd ? reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)) : nullptr;
    if (!base) base = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTW lf{};
    if (::GetObjectW(base, sizeof(lf), &lf) == 0) return nullptr;
    if (fontWidth != 0) lf.lfWidth = fontWidth;
    if (fontWeight != -1) lf.lfWeight = fontWeight;
    if (fontHeight != 0) lf.lfHeight = fontHeight;
    if (underline) lf.lfUnderline = TRUE;
    lstrcpynW(lf.lfFaceName, kLabelFace, LF_FACESIZE);
    font_.Reset(::CreateFontIndirectW(&lf));
    return font_.Get();
}

void CStaticEx::DrawLabelText(HDC dc, const RECT& client) {
    RECT area = client;
    if (imageWidth_ != 0) {
        area.left = LabelTextAreaLeft(client.right, imageWidth_, imageOnRight);
        area.right = LabelTextAreaRight(client.right, imageWidth_, imageOnRight);
    }
    const UINT format = FormatFromStyle(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, hoverEnabled && hovered_ ? hoverColor : textColor);
    fw::Selection select(dc, LabelFont());

    SIZE sample{};
    ::GetTextExtentPoint32W(dc, kSample, 10, &sample);
    const int lineHeight = sample.cy;
    const int averageWidth = sample.cx / 10;
    const int areaWidth = area.right - area.left;
    if (areaWidth < averageWidth || lineHeight <= 0) return;

    auto measure = [dc](const std::u16string& piece) {
        const std::wstring w = fw::W(piece);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
        return static_cast<int>(size.cx);
    };
    if (format & DT_SINGLELINE) {
        // A one-line label (centred image style) keeps its height: text that does not fit ends
        // in "..." instead of wrapping onto rows that belong to the controls below it.
        RECT box = area;
        std::wstring whole = text;
        for (wchar_t& c : whole) {
            if (c == L'\r' || c == L'\n') c = L' ';
        }
        ::DrawTextW(dc, whole.c_str(), static_cast<int>(whole.size()), &box, format | DT_END_ELLIPSIS | DT_NOPREFIX);
        return;
    }
    const std::vector<std::u16string> lines = BreakLabelLines(fw::U(text), areaWidth, measure);
    RECT box{area.left, area.top, area.right, area.top + lineHeight};
    for (const std::u16string& line : lines) {
        std::wstring w = fw::W(line);
        ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &box, format);
        ::OffsetRect(&box, 0, lineHeight + lineSpacing);
    }

    const int needed = GrownLabelHeight(client.bottom, static_cast<int>(lines.size()), lineHeight, lineSpacing);
    if (needed > client.bottom) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, client.right, needed, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Growing only exposes the new strip; the image and the lines are centred on the new
        // height, so all of the label must be drawn again.
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CStaticEx::PaintInto(HDC dc) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    Canvas canvas(dc, client.right, client.bottom);
    if (!canvas) return;
    PaintParentBackground(m_hWnd, canvas.Dc());
    const int imageLeft = LabelImageLeft(client.right, imageWidth_, imageOnRight);
    if (image_) {
        ::ImageList_Draw(image_.Get(), imageIndex, canvas.Dc(), imageLeft, (client.bottom - imageHeight_) / 2,
                         ILD_TRANSPARENT);
    } else if (icon) {
        ::DrawIconEx(canvas.Dc(), imageLeft, (client.bottom - imageHeight_) / 2, icon, 16, 16, 0, nullptr,
                     DI_NORMAL);
    }
    DrawLabelText(canvas.Dc(), client);
    canvas.CopyTo(dc);
}

LRESULT CStaticEx::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc) PaintInto(dc);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CStaticEx::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

LRESULT CStaticEx::OnMouseMove(WPARAM, LPARAM) {
    if (!tracking_) tracking_ = TrackHoverAndLeave(m_hWnd);
    return Default();
}

LRESULT CStaticEx::OnMouseHover(WPARAM, LPARAM) {
    hovered_ = true;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CStaticEx::OnMouseLeave(WPARAM, LPARAM) {
    hovered_ = false;
    tracking_ = false;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

bool CStaticEx::SendsClicks() const {
    return linkCursor || (m_hWnd && (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & SS_NOTIFY));
}

bool CStaticEx::TakesMouse() const { return hoverEnabled || SendsClicks(); }

LRESULT CStaticEx::OnNcHitTest(WPARAM, LPARAM) {
    // A static control without the notify style answers "transparent", and then never sees
    // the mouse: no hover colour, no hand cursor, no click.
    return TakesMouse() ? HTCLIENT : Default();
}

LRESULT CStaticEx::OnLButtonDown(WPARAM, LPARAM) {
    if (!SendsClicks()) return Default();
    // The click is ours alone (the static control would report one on the press already);
    // it counts when the button is released over the label.
    pressed_ = true;
    ::SetCapture(m_hWnd);
    return 0;
}

LRESULT CStaticEx::OnLButtonUp(WPARAM, LPARAM l) {
    if (!SendsClicks()) return Default();
    if (!pressed_) return 0;
    pressed_ = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    if (!::PtInRect(&client, at)) return 0;
    // Last thing we do: the parent may hide or destroy the label in its handler.
    HWND self = m_hWnd;
    const int id = ::GetDlgCtrlID(self);
    ::SendMessageW(::GetParent(self), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(self));
    return 0;
}

LRESULT CStaticEx::OnCaptureChanged(WPARAM, LPARAM) {
    pressed_ = false;
    return Default();
}

LRESULT CStaticEx::OnSetCursor(WPARAM, LPARAM) {
    if (linkCursor) ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    return TRUE;
}

}  // namespace tamsolo::ui
