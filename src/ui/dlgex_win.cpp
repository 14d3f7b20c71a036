#include "ui/dlgex_win.h"

#include <utility>
#include <vector>

#include "ui/draw_win.h"
#include "ui/image_win.h"
#include "ui/frame_layout.h"

namespace tamsolo::ui {

FW_BEGIN_MESSAGE_MAP(CDlgEx, fw::CDialog)
FW_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
FW_ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
FW_ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
FW_ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
FW_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
FW_ON_MESSAGE(WM_SIZE, OnSize)
FW_ON_MESSAGE(WM_GETFONT, OnGetFont)
FW_ON_COMMAND(kCloseButtonId, OnCloseCommand)
FW_ON_COMMAND(kMinimizeButtonId, OnMinimizeCommand)
FW_ON_COMMAND(kMaximizeButtonId, OnMaximizeCommand)
FW_END_MESSAGE_MAP()

namespace {

const wchar_t kTitleFace[] = L"微软雅黑";

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

RECT WorkArea() {
    RECT work{0, 0, 1024, 768};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void MoveTo(HWND wnd, const RECT& r) {
    ::MoveWindow(wnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

LRESULT HitCode(HitArea area) {
    switch (area) {
        case HitArea::Caption: return HTCAPTION;
        case HitArea::Left: return HTLEFT;
        case HitArea::Right: return HTRIGHT;
        case HitArea::Top: return HTTOP;
        case HitArea::TopLeft: return HTTOPLEFT;
        case HitArea::TopRight: return HTTOPRIGHT;
        case HitArea::Bottom: return HTBOTTOM;
        case HitArea::BottomLeft: return HTBOTTOMLEFT;
        case HitArea::BottomRight: return HTBOTTOMRIGHT;
        default: return HTNOWHERE;
    }
}

int SizingEdgeFromHitCode(WPARAM code) {
    switch (code) {
        case HTLEFT: return SizingEdge(HitArea::Left);
        case HTRIGHT: return SizingEdge(HitArea::Right);
        case HTTOP: return SizingEdge(HitArea::Top);
        case HTTOPLEFT: return SizingEdge(HitArea::TopLeft);
        case HTTOPRIGHT: return SizingEdge(HitArea::TopRight);
        case HTBOTTOM: return SizingEdge(HitArea::Bottom);
        case HTBOTTOMLEFT: return SizingEdge(HitArea::BottomLeft);
        case HTBOTTOMRIGHT: return SizingEdge(HitArea::BottomRight);
        default: return 0;
    }
}

// A group box draws only its frame and caption: what lies inside it is the dialog's to paint.
// Under clip-children the dialog would leave that area unpainted unless the box counts as
// transparent, which keeps it out of the parent's clipping.
BOOL CALLBACK LetGroupBoxShowThrough(HWND child, LPARAM parent) {
    if (::GetParent(child) != reinterpret_cast<HWND>(parent)) return TRUE;
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
    if (lstrcmpiW(cls, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) {
        ::SetWindowLongPtrW(child, GWL_EXSTYLE, ::GetWindowLongPtrW(child, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    }
    return TRUE;
}

// The skin's pixels as 0x00RRGGBB, top row first, for the corner test.
std::vector<DWORD> ReadPixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO info = Dib32Info(width, height);
    fw::WindowDc screen(nullptr);
    if (::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == 0) {
        pixels.clear();
    }
    return pixels;
}

}  // namespace

CDlgEx::~CDlgEx() {
    if (m_hWnd) DestroyWindow();
}

BOOL CDlgEx::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION | DS_MODALFRAME);
    style |= WS_MINIMIZEBOX;  // lets the taskbar minimise the window
    // Children draw all of themselves (the kit's controls paint the frame under them into
    // their own picture, page frames are whole windows): erasing under them is wasted work
    // and shows as flicker.
    style |= WS_CLIPCHILDREN;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    ::EnumChildWindows(m_hWnd, LetGroupBoxShowThrough, reinterpret_cast<LPARAM>(m_hWnd));
    LONG_PTR ex = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ex &= ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT work = WorkArea();
    maxWidth = work.right - work.left;
    maxHeight = work.bottom - work.top;
    restoreRect = ToRECT(InitialRestoreRect(ToRect(work)));
    return TRUE;
}

void CDlgEx::MakeCaptionButton(CBtnEx& button, UINT id, HBITMAP image, int right, int top, const wchar_t* tip) {
    if (button.m_hWnd) button.DestroyWindow();
    const SIZE size = BitmapSize(image);
    RECT r{right - size.cx / 4, top, right, top + size.cy};
    if (!button.Create(L"", WS_CHILD | WS_VISIBLE, r, m_hWnd, id)) return;
    button.SetImage(image, false);
    button.SetTooltip(tip);
}

void CDlgEx::SetSkin(HBITMAP background, bool resizeToImage, bool nineSlice, HBITMAP closeImage,
                     HBITMAP minimizeImage, HBITMAP maximizeImage, HBITMAP restoreImage) {
    // Setting the same skin again must not delete the image it keeps.
    if (background != background_.Get()) background_.Reset(background);
    nineSlice_ = nineSlice;
    frameStale_ = true;
    RECT client{};
    const SIZE image = BitmapSize(background);
    if (resizeToImage && image.cx > 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, image.cx, image.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        client = RECT{0, 0, image.cx, image.cy};
    } else {
        ::GetClientRect(m_hWnd, &client);
    }
    BuildRegion();

    const SIZE closeSize = BitmapSize(closeImage);
    const SIZE maxSize = BitmapSize(maximizeImage);
    const SIZE minSize = BitmapSize(minimizeImage);
    const CaptionButtonRects rects = PlaceCaptionButtons(
        client.right, buttonRightMargin, buttonTop, buttonSpacing, Size{closeSize.cx / 4, closeSize.cy},
        Size{maximizeImage ? maxSize.cx / 4 : 0, maxSize.cy}, Size{minimizeImage ? minSize.cx / 4 : 0, minSize.cy});
    if (closeImage) MakeCaptionButton(closeButton_, kCloseButtonId, closeImage, rects.close.right, rects.close.top, L"关闭");
    if (maximizeImage) {
        MakeCaptionButton(maximizeButton_, kMaximizeButtonId, maximizeImage, rects.maximize.right, rects.maximize.top,
                          L"最大化");
        if (maximizeImage != maximizeImage_.Get()) maximizeImage_.Reset(maximizeImage);
        if (restoreImage != restoreImage_.Get()) restoreImage_.Reset(restoreImage);
    }
    if (minimizeImage) {
        MakeCaptionButton(minimizeButton_, kMinimizeButtonId, minimizeImage, rects.minimize.right, rects.minimize.top,
                          L"最小化");
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

HFONT CDlgEx::TitleFont() {
    if (titleFont_ && titleFontWeight_ == titleWeight) return titleFont_.Get();
    HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!base) base = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    if (::GetObjectW(base, sizeof(lf), &lf) == 0) return nullptr;
    lf.lfWeight = titleWeight;
    lstrcpynW(lf.lfFaceName, kTitleFace, LF_FACESIZE);
    titleFont_.Reset(::CreateFontIndirectW(&lf));
    titleFontWeight_ = titleWeight;
    return titleFont_.Get();
}

void CDlgEx::SetSmallDialogSkin(UINT backgroundImage) {
    titleHeight = 30;
    borderWidth = 4;
    buttonRightMargin = 0;
    buttonTop = 0;
    buttonSpacing = 0;
    const HMODULE module = fw::ResourceModule();
    // The frame keeps the background; the close strip is copied, so ours is released here.
    fw::Bitmap close(LoadSkinImage(module, 132));
    SetSkin(LoadSkinImage(module, backgroundImage), false, true, close.Get());
}

void CDlgEx::LayOutAtSkinScale() {
    const int dpi = DisplayDpi();
    if (dpi == kSkinDpi || dpi <= 0) return;
    HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!base) base = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    if (::GetObjectW(base, sizeof(lf), &lf) == 0) return;
    lf.lfHeight = AtSkinScale(lf.lfHeight, dpi);
    lf.lfWidth = AtSkinScale(lf.lfWidth, dpi);
    fw::Font font(::CreateFontIndirectW(&lf));
    if (!font) return;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        const Rect scaled = AtSkinScale(ToRect(r), dpi);
        ::MoveWindow(child, scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top, FALSE);
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    }
    // The window itself answers with this font from now on (the dialog keeps its own and
    // deletes it at the end, so the dialog is not handed ours).
    skinScaleFont_ = std::move(font);
    titleFont_.Reset();
    titleFontWeight_ = -1;
}

void CDlgEx::SetTitle(const std::wstring& text) {
    ::SetWindowTextW(m_hWnd, text.c_str());
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    HICON small = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL));
    LOGFONTW lf{};
    ::GetObjectW(TitleFont(), sizeof(lf), &lf);
    int textHeight = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    {
        fw::WindowDc dc(m_hWnd);
        fw::Selection select(dc.Get(), TitleFont());
        SIZE size{};
        if (::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size)) textHeight = size.cy;
    }
    RECT strip{TitleTextLeft(borderWidth, small != nullptr), TitleTextTop(titleHeight, lf.lfHeight), client.right, 0};
    strip.bottom = strip.top + textHeight;
    ::InvalidateRect(m_hWnd, &strip, TRUE);
}

void CDlgEx::DrawBackground(HDC dc, int width, int height) {
    const SIZE image = BitmapSize(background_.Get());
    fw::MemoryDc src(::CreateCompatibleDC(dc));
    if (!src) return;
    fw::Selection select(src.Get(), background_.Get());
    for (const BlitPiece& p : SkinPieces(Size{image.cx, image.cy}, Size{width, height}, borderWidth, titleHeight, nineSlice_)) {
        if (p.Stretched()) {
            ::StretchBlt(dc, p.dx, p.dy, p.dw, p.dh, src.Get(), p.sx, p.sy, p.sw, p.sh, SRCCOPY);
        } else {
            ::BitBlt(dc, p.dx, p.dy, p.dw, p.dh, src.Get(), p.sx, p.sy, SRCCOPY);
        }
    }
}

bool CDlgEx::FrameKey::operator==(const FrameKey& o) const {
    return width == o.width && height == o.height && title == o.title && icon == o.icon && showTitle == o.showTitle &&
           showIcon == o.showIcon && nineSlice == o.nineSlice && borderWidth == o.borderWidth &&
           titleHeight == o.titleHeight && titleWeight == o.titleWeight && titleColor == o.titleColor;
}

CDlgEx::FrameKey CDlgEx::CurrentFrameKey() const {
    FrameKey key;
    RECT wr{};
    ::GetWindowRect(m_hWnd, &wr);
    key.width = wr.right - wr.left;
    key.height = wr.bottom - wr.top;
    const int len = ::GetWindowTextLengthW(m_hWnd);
    key.title.assign(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hWnd, key.title.data(), len + 1);
    key.title.resize(got > 0 ? static_cast<size_t>(got) : 0);
    key.icon = reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, ICON_SMALL, 0));
    key.showTitle = showTitle;
    key.showIcon = showIcon;
    key.nineSlice = nineSlice_;
    key.borderWidth = borderWidth;
    key.titleHeight = titleHeight;
    key.titleWeight = titleWeight;
    key.titleColor = titleColor;
    return key;
}

bool CDlgEx::RenderFrame(HDC compatibleWith, const FrameKey& key) {
    frame_.Reset();
    fw::MemoryDc dc(::CreateCompatibleDC(compatibleWith));
    if (!dc) return false;
    BITMAPINFO info = Dib32Info(key.width > 0 ? key.width : 1, key.height > 0 ? key.height : 1);
    void* bits = nullptr;
    fw::Bitmap picture(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return false;
    {
        fw::Selection selectPicture(dc.Get(), picture.Get());
        ::SetStretchBltMode(dc.Get(), COLORONCOLOR);
        DrawBackground(dc.Get(), key.width, key.height);
        const bool iconDrawn = key.icon && key.showIcon;
        if (iconDrawn) {
            ::DrawIconEx(dc.Get(), borderWidth, TitleIconTop(titleHeight), key.icon, 16, 16, 0, nullptr, DI_NORMAL);
        }
        if (key.showTitle) {
            HFONT font = TitleFont();
            LOGFONTW lf{};
            ::GetObjectW(font, sizeof(lf), &lf);
            fw::Selection selectFont(dc.Get(), font);
            ::SetBkMode(dc.Get(), TRANSPARENT);
            ::SetTextColor(dc.Get(), titleColor);
            ::TextOutW(dc.Get(), TitleTextLeft(borderWidth, iconDrawn), TitleTextTop(titleHeight, lf.lfHeight),
                       key.title.c_str(), static_cast<int>(key.title.size()));
        }
        ::GdiFlush();
    }
    frame_ = std::move(picture);
    frameKey_ = key;
    frameStale_ = false;
    ++frameRenders_;
    return true;
}

bool CDlgEx::PaintFrame(HDC target) {
    if (!background_) return false;
    // Every control repaint asks for the frame under it; a maximised main window is megabytes
    // of picture, so it is rendered once per size and title and only the asked-for part copied.
    const FrameKey key = CurrentFrameKey();
    if ((frameStale_ || !frame_ || !(key == frameKey_)) && !RenderFrame(target, key)) return false;
    RECT part{0, 0, key.width, key.height};
    RECT clip{};
    const int kind = ::GetClipBox(target, &clip);
    if (kind == NULLREGION) return true;
    if (kind != ERROR) ::IntersectRect(&part, &part, &clip);
    if (::IsRectEmpty(&part)) return true;
    fw::MemoryDc src(::CreateCompatibleDC(target));
    if (!src) return false;
    fw::Selection select(src.Get(), frame_.Get());
    ::BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, src.Get(), part.left,
             part.top, SRCCOPY);
    return true;
}

LRESULT CDlgEx::OnGetFont(WPARAM, LPARAM) {
    return skinScaleFont_ ? reinterpret_cast<LRESULT>(skinScaleFont_.Get()) : Default();
}

LRESULT CDlgEx::OnEraseBkgnd(WPARAM w, LPARAM) { return PaintFrame(reinterpret_cast<HDC>(w)) ? TRUE : FALSE; }

void CDlgEx::BuildRegion() {
    if (!background_) return;
    const SIZE image = BitmapSize(background_.Get());
    RECT wr{};
    ::GetWindowRect(m_hWnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const std::vector<DWORD> pixels = ReadPixels(background_.Get(), image.cx, image.cy);
    if (pixels.empty()) return;
    auto isKey = [&](int x, int y) {
        return (pixels[static_cast<size_t>(y) * static_cast<size_t>(image.cx) + static_cast<size_t>(x)] & 0xFFFFFF) ==
               0xFF00FF;
    };
    fw::Region region(::CreateRectRgn(0, 0, w, h));
    if (!region) return;
    for (const Point& p : RegionCutPixels(Size{image.cx, image.cy}, Size{w, h}, isKey)) {
        fw::Region dot(::CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
        if (dot) ::CombineRgn(region.Get(), region.Get(), dot.Get(), RGN_DIFF);
    }
    // The window owns the region once it is set.
    if (::SetWindowRgn(m_hWnd, region.Get(), FALSE)) region.Release();
}

LRESULT CDlgEx::OnNcHitTest(WPARAM, LPARAM l) {
    POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const HitArea area = HitTestFrame(HitTestInput{Point{pt.x, pt.y}, Size{client.right, client.bottom}, borderWidth,
                                                   titleHeight, maximized, resizable});
    if (area == HitArea::Default) return Default();
    return HitCode(area);
}

LRESULT CDlgEx::OnNcLButtonDown(WPARAM w, LPARAM l) {
    const int edge = SizingEdgeFromHitCode(w);
    LRESULT result = 0;
    if (edge != 0) {
        // The window has no sizing frame of its own, so start the system's sizing explicitly.
        SendMessage(WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(edge), l);
    } else {
        result = Default();
    }
    // The move or size loop has ended here; remember where the user left the window.
    if (!maximized && (edge != 0 || w == HTCAPTION)) ::GetWindowRect(m_hWnd, &restoreRect);
    return result;
}

LRESULT CDlgEx::OnNcLButtonDblClk(WPARAM w, LPARAM) {
    if (w == HTCAPTION && resizable) {
        ToggleMaximize();
        return 0;
    }
    return Default();
}

LRESULT CDlgEx::OnLButtonDblClk(WPARAM, LPARAM l) {
    if (maximized && OnTitleRows(Point{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))}, titleHeight)) {
        ToggleMaximize();
    }
    return Default();
}

void CDlgEx::PlaceButtonsAfterResize(int clientWidth) {
    CBtnEx* buttons[] = {&closeButton_, &maximizeButton_, &minimizeButton_};
    std::vector<ButtonSlot> slots;
    for (CBtnEx* b : buttons) {
        RECT r{};
        if (b->m_hWnd) ::GetWindowRect(b->m_hWnd, &r);
        slots.push_back(ButtonSlot{b->m_hWnd != nullptr, r.right - r.left});
    }
    const std::vector<int> lefts = ReplaceCaptionButtons(clientWidth, buttonRightMargin, slots);
    for (size_t i = 0; i < 3; ++i) {
        if (!slots[i].exists) continue;
        RECT r{};
        ::GetWindowRect(buttons[i]->m_hWnd, &r);
        POINT topLeft{r.left, r.top};
        ::ScreenToClient(m_hWnd, &topLeft);
        ::MoveWindow(buttons[i]->m_hWnd, lefts[i], topLeft.y, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

LRESULT CDlgEx::OnSize(WPARAM, LPARAM l) {
    const LRESULT result = Default();
    if (background_) {
        BuildRegion();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        PlaceButtonsAfterResize(static_cast<short>(LOWORD(l)));
    }
    return result;
}

void CDlgEx::OnTitleClose() { PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

void CDlgEx::OnTitleMinimize() { PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CDlgEx::ToggleMaximize() {
    if (maximized) {
        MoveTo(m_hWnd, restoreRect);
        UpdateMaximizeButton(false);
    } else {
        MoveTo(m_hWnd, ToRECT(MaximizedRect(ToRect(WorkArea()), maxWidth, maxHeight)));
        UpdateMaximizeButton(true);
    }
    maximizeButton_.ClearHover();
    maximized = !maximized;
}

void CDlgEx::UpdateMaximizeButton(bool isMaximized) {
    if (!maximizeButton_.m_hWnd) return;
    maximizeButton_.SetImage(isMaximized ? restoreImage_.Get() : maximizeImage_.Get(), false);
    maximizeButton_.SetTooltip(isMaximized ? L"还原" : L"最大化");
}

}  // namespace tamsolo::ui
