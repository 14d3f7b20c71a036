// The skin kit drawing for real: skins, frame, buttons, progress bar and label are painted
// into memory pictures and their pixels compared with the skin images they come from.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/handle_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/draw_win.h"
#include "ui/image_win.h"
#include "ui/imgprogress_win.h"
#include "ui/label_layout.h"
#include "ui/staticex_win.h"

using namespace tamsolo::ui;

namespace {

HBITMAP Skin(UINT id) { return LoadSkinImage(::GetModuleHandleW(nullptr), id); }

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    fw::MemoryDc dc(::CreateCompatibleDC(nullptr));
    fw::Selection select(dc.Get(), bitmap);
    return ::GetPixel(dc.Get(), x, y);
}

class CTestFrame : public CDlgEx {
public:
    CTestFrame() : CDlgEx(130) {}

protected:
    BOOL OnInitDialog() override {
        CDlgEx::OnInitDialog();
        titleHeight = 30;
        borderWidth = 4;
        buttonRightMargin = 0;
        buttonTop = 0;
        return TRUE;
    }
};

// One skinned window for the whole suite: under Wine every destroyed window costs time.
class SkinKit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&icc);
        frame = new CTestFrame;
        ASSERT_TRUE(frame->Create());
        ::SetWindowPos(frame->m_hWnd, nullptr, 10, 10, 200, 120, SWP_NOZORDER | SWP_NOACTIVATE);
        skin = Skin(131);
        frame->SetSkin(Skin(131), false, true, nullptr);
    }
    static void TearDownTestSuite() {
        delete frame;
        frame = nullptr;
        ::DeleteObject(skin);
    }
    // The frame's picture of its own size.
    static std::unique_ptr<Canvas> FramePicture() {
        fw::WindowDc screen(nullptr);
        auto canvas = std::make_unique<Canvas>(screen.Get(), 200, 120);
        frame->PaintFrame(canvas->Dc());
        return canvas;
    }

    static CTestFrame* frame;
    static HBITMAP skin;  // a private copy of the frame's skin, to compare with
};

CTestFrame* SkinKit::frame = nullptr;
HBITMAP SkinKit::skin = nullptr;

}  // namespace

TEST(SkinImages, ResourcesDecodeWithTheColourKey) {
    fw::Bitmap dialog(Skin(131));
    ASSERT_TRUE(dialog);
    const SIZE size = BitmapSize(dialog.Get());
    EXPECT_EQ(size.cx, 30);
    EXPECT_EQ(size.cy, 51);
    EXPECT_EQ(PixelOf(dialog.Get(), 0, 0), kColorKey);    // cut corner
    EXPECT_NE(PixelOf(dialog.Get(), 15, 40), kColorKey);  // body
    fw::Bitmap login(Skin(129));
    EXPECT_EQ(BitmapSize(login.Get()).cx, 888);
    EXPECT_EQ(PixelOf(login.Get(), 0, 0), kColorKey);  // fully transparent edge of the shadow
    EXPECT_EQ(Skin(9999), nullptr);                    // no such resource
}

TEST(SkinImages, ColourKeyedBitmapIsBottomUpWithTheBlendRule) {
    // Top row: opaque red, transparent; bottom row: half-transparent black, opaque blue.
    const std::uint32_t argb[] = {0xFFFF0000, 0x00123456, 0x80000000, 0xFF0000FF};
    fw::Bitmap bitmap(MakeColorKeyedBitmap(argb, 2, 2, 2, kColorKey));
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_GT(dib.dsBmih.biHeight, 0);  // bottom-up
    const auto* bits = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(bits[0], 0x7F7F7Fu);  // first stored row is the image's bottom row
    EXPECT_EQ(bits[1], 0x0000FFu);
    EXPECT_EQ(bits[2], 0xFF0000u);
    EXPECT_EQ(bits[3], 0xFF00FFu);
    EXPECT_EQ(MakeColorKeyedBitmap(argb, 0, 2, 2, kColorKey), nullptr);
}

TEST(SkinImages, PictureFilesDecodeOntoWhiteAndFailuresGiveNothing) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring missing = std::wstring(dir) + L"tamsolo-no-such-picture.png";
    int w = -1, h = -1;
    EXPECT_EQ(LoadImageFile(missing, &w, &h), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);

    const std::wstring garbage = std::wstring(dir) + L"tamsolo-garbage.png";
    {
        FILE* f = _wfopen(garbage.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        std::fputs("\x89PNG not really", f);
        std::fclose(f);
    }
    EXPECT_EQ(LoadImageFile(garbage, &w, &h), nullptr);
    EXPECT_EQ(w, 0);

    // A real picture: the progress fill, whose rounded ends are transparent.
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(153), L"PNG");
    ASSERT_NE(res, nullptr);
    const void* data = ::LockResource(::LoadResource(module, res));
    const std::wstring picture = std::wstring(dir) + L"tamsolo-fill.png";
    {
        FILE* f = _wfopen(picture.c_str(), L"wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(data, 1, ::SizeofResource(module, res), f);
        std::fclose(f);
    }
    fw::Bitmap loaded(LoadImageFile(picture, &w, &h));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(w, 390);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(PixelOf(loaded.Get(), 0, 0), RGB(255, 255, 255));
    ::DeleteFileW(garbage.c_str());
    ::DeleteFileW(picture.c_str());
}

TEST_F(SkinKit, NineSlicedFrameSpreadsTheSkin) {
    auto picture = FramePicture();
    HDC dc = picture->Dc();
    // Title band and body are stretched columns and rows of the skin; corners are copied.
    EXPECT_EQ(::GetPixel(dc, 100, 12), PixelOf(skin, 15, 12));
    EXPECT_EQ(::GetPixel(dc, 100, 29), PixelOf(skin, 15, 29));  // the band's last row stays one row
    EXPECT_EQ(::GetPixel(dc, 2, 2), PixelOf(skin, 2, 2));
    EXPECT_EQ(::GetPixel(dc, 197, 117), PixelOf(skin, 27, 48));
    EXPECT_EQ(::GetPixel(dc, 199, 60), PixelOf(skin, 29, 35));  // right border
}

TEST_F(SkinKit, CornersOfTheSkinCutTheWindow) {
    fw::Region region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(frame->m_hWnd, region.Get()), ERROR);
    for (POINT corner : {POINT{0, 0}, POINT{199, 0}, POINT{0, 119}, POINT{199, 119}}) {
        EXPECT_FALSE(::PtInRegion(region.Get(), corner.x, corner.y)) << corner.x << "," << corner.y;
    }
    EXPECT_TRUE(::PtInRegion(region.Get(), 100, 0));
    EXPECT_TRUE(::PtInRegion(region.Get(), 100, 60));
    EXPECT_TRUE(::PtInRegion(region.Get(), 8, 8));
}

TEST_F(SkinKit, EachButtonStateDrawsItsFrame) {
    fw::Bitmap strip(Skin(133));
    CBtnEx button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD, RECT{20, 50, 30, 60}, frame->m_hWnd, 700));
    button.SetImage(strip.Get(), true);
    EXPECT_EQ(button.FrameSize().cx, 57);
    RECT r{};
    ::GetClientRect(button.m_hWnd, &r);
    EXPECT_EQ(r.right, 57);
    EXPECT_EQ(r.bottom, 23);

    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 57, 23);
    auto frameShown = [&](UINT state) {
        button.DrawInto(picture.Dc(), state);
        for (int f = 0; f < 4; ++f) {
            if (::GetPixel(picture.Dc(), 28, 6) == PixelOf(strip.Get(), f * 57 + 28, 6) &&
                ::GetPixel(picture.Dc(), 28, 20) == PixelOf(strip.Get(), f * 57 + 28, 20)) {
                return f;
            }
        }
        return -1;
    };
    EXPECT_EQ(frameShown(0), 0);
    button.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(frameShown(0), 1);
    EXPECT_EQ(frameShown(ODS_SELECTED), 2);
    // Held and moved off: the latch keeps the pressed frame until the button is released.
    EXPECT_EQ(frameShown(0), 2);
    // Released off the button: the latched frame must be repainted, nothing else would.
    // (Only a shown window collects a region to repaint.)
    const bool frameWasVisible = ::IsWindowVisible(frame->m_hWnd) != FALSE;
    ::ShowWindow(frame->m_hWnd, SW_SHOWNOACTIVATE);
    ::ShowWindow(button.m_hWnd, SW_SHOWNA);
    ::ValidateRect(button.m_hWnd, nullptr);
    button.SendMessage(WM_LBUTTONUP);
    EXPECT_FALSE(button.PressedLatch());
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    ::ShowWindow(button.m_hWnd, SW_HIDE);
    if (!frameWasVisible) ::ShowWindow(frame->m_hWnd, SW_HIDE);
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(frameShown(0), 0);
    EXPECT_EQ(frameShown(ODS_DISABLED), 3);
    // Transparent corners show the frame behind the button, not magenta.
    EXPECT_NE(::GetPixel(picture.Dc(), 0, 0), kColorKey);
}

TEST_F(SkinKit, ButtonOfAnotherSizeStretchesItsFrameKeepingMagentaTransparent) {
    fw::Bitmap strip(Skin(133));
    CBtnEx button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD, RECT{20, 40, 20 + 114, 40 + 46}, frame->m_hWnd, 701));
    button.SetImage(strip.Get(), false);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 114, 46);
    button.DrawInto(picture.Dc(), 0);
    EXPECT_EQ(::GetPixel(picture.Dc(), 57, 20), PixelOf(strip.Get(), 28, 10));
    EXPECT_NE(::GetPixel(picture.Dc(), 0, 0), kColorKey);
}

TEST_F(SkinKit, DisabledCaptionUsesTheGreyTextColour) {
    fw::Bitmap strip(Skin(133));
    CBtnEx button;
    ASSERT_TRUE(button.Create(L"确定", WS_CHILD, RECT{20, 50, 77, 73}, frame->m_hWnd, 702));
    button.SetImage(strip.Get(), true);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 57, 23);
    auto darkest = [&](UINT state) {
        button.DrawInto(picture.Dc(), state);
        int best = 3 * 255;
        for (int y = 0; y < 23; ++y) {
            for (int x = 10; x < 47; ++x) {
                const COLORREF c = ::GetPixel(picture.Dc(), x, y);
                best = std::min(best, GetRValue(c) + GetGValue(c) + GetBValue(c));
            }
        }
        return best;
    };
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    const int greySum = GetRValue(grey) + GetGValue(grey) + GetBValue(grey);
    EXPECT_LT(darkest(0), 120);                  // black caption
    EXPECT_GE(darkest(ODS_DISABLED), greySum - 30);  // never darker than the grey text colour
}

TEST_F(SkinKit, ProgressBarAtHalfDrawsBothEndsOfTheFill) {
    CImgProgress bar;
    ASSERT_TRUE(bar.Create(WS_CHILD, RECT{0, 40, 10, 50}, frame->m_hWnd, 703));
    bar.SetImages(Skin(152), Skin(153));
    fw::Bitmap back(Skin(152)), fill(Skin(153));
    RECT r{};
    ::GetClientRect(bar.m_hWnd, &r);
    EXPECT_EQ(r.right, 390);
    EXPECT_EQ(r.bottom, 21);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 390, 21);

    bar.SetPos(50);
    bar.PaintInto(picture.Dc());
    HDC dc = picture.Dc();
    EXPECT_EQ(::GetPixel(dc, 10, 10), PixelOf(fill.Get(), 10, 10));
    EXPECT_EQ(::GetPixel(dc, 96, 10), PixelOf(fill.Get(), 96, 10));
    EXPECT_EQ(::GetPixel(dc, 97, 10), PixelOf(fill.Get(), 292, 10));  // the right piece starts
    EXPECT_EQ(::GetPixel(dc, 190, 10), PixelOf(fill.Get(), 385, 10));
    EXPECT_EQ(::GetPixel(dc, 250, 10), PixelOf(back.Get(), 250, 10));

    bar.SetPos(0);
    bar.PaintInto(dc);
    EXPECT_EQ(::GetPixel(dc, 10, 10), PixelOf(back.Get(), 10, 10));
}

TEST_F(SkinKit, LabelWrapsAndGrowsButNeverShrinks) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(L"", WS_CHILD, RECT{10, 40, 110, 45}, frame->m_hWnd, 704));
    label.text = L"一二三四五六七八九十一二三四五六七八九十";
    fw::WindowDc screen(nullptr);
    {
        Canvas picture(screen.Get(), 100, 5);
        label.PaintInto(picture.Dc());
    }
    RECT r{};
    ::GetClientRect(label.m_hWnd, &r);
    EXPECT_EQ(r.right, 100);
    const int grown = r.bottom;
    EXPECT_GT(grown, 5);

    // The text now needs more than one line: find the rows that hold ink.
    label.textColor = RGB(255, 0, 0);
    Canvas picture(screen.Get(), 100, grown);
    label.PaintInto(picture.Dc());
    int firstInk = -1, lastInk = -1;
    for (int y = 0; y < grown; ++y) {
        for (int x = 0; x < 100; ++x) {
            const COLORREF c = ::GetPixel(picture.Dc(), x, y);
            if (GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90) {
                if (firstInk < 0) firstInk = y;
                lastInk = y;
                break;
            }
        }
    }
    ASSERT_GE(firstInk, 0);
    EXPECT_GT(lastInk - firstInk, grown / 2);  // ink on the first and the last line

    // A shorter text never shrinks the label again; CR LF breaks exactly once.
    label.text = L"a\r\nb";
    label.PaintInto(picture.Dc());
    ::GetClientRect(label.m_hWnd, &r);
    EXPECT_EQ(r.bottom, grown);
}

TEST_F(SkinKit, OneLineLabelEndsInAnEllipsisAndKeepsItsHeight) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(L"", WS_CHILD | SS_CENTER | SS_CENTERIMAGE | SS_ENDELLIPSIS, RECT{10, 40, 110, 55},
                             frame->m_hWnd, 705));
    label.text = L"一二三四五六七八九十一二三四五六七八九十\r\n一二三";
    label.textColor = RGB(255, 0, 0);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 100, 15);
    label.PaintInto(picture.Dc());
    RECT r{};
    ::GetClientRect(label.m_hWnd, &r);
    EXPECT_EQ(r.bottom, 15);
    // Ink reaches close to the right edge: the row is filled up to the "...".
    int rightmost = -1;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 100; ++x) {
            const COLORREF c = ::GetPixel(picture.Dc(), x, y);
            if (GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90 && x > rightmost) rightmost = x;
        }
    }
    EXPECT_GT(rightmost, 80);
}

TEST_F(SkinKit, MissingImagesDrawNothingAndDoNotCrash) {
    CTestFrame bare;
    ASSERT_TRUE(bare.Create());
    bare.SetSkin(nullptr, false, true, nullptr);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 50, 50);
    EXPECT_FALSE(bare.PaintFrame(picture.Dc()));
    EXPECT_EQ(bare.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(picture.Dc())), 0);

    CBtnEx button;
    ASSERT_TRUE(button.Create(L"x", WS_CHILD, RECT{0, 0, 20, 20}, bare.m_hWnd, 705));
    button.SetImage(nullptr, true);
    button.DrawInto(picture.Dc(), 0);
    CImgProgress bar;
    ASSERT_TRUE(bar.Create(WS_CHILD, RECT{0, 0, 20, 20}, bare.m_hWnd, 706));
    bar.SetImages(nullptr, nullptr);
    bar.PaintInto(picture.Dc());
    CStaticEx label;
    ASSERT_TRUE(label.Create(L"x", WS_CHILD, RECT{0, 0, 20, 20}, bare.m_hWnd, 707));
    label.SetImage(nullptr);
    label.PaintInto(picture.Dc());
}

TEST(SkinnedFrame, CaptionButtonsMaximiseAndRestore) {
    CTestFrame frame;
    ASSERT_TRUE(frame.Create());
    frame.buttonSpacing = 4;
    frame.resizable = true;
    ::SetWindowPos(frame.m_hWnd, nullptr, 30, 40, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    fw::Bitmap close(Skin(132)), minimize(Skin(136));
    frame.SetSkin(Skin(134), false, true, close.Get(), minimize.Get(), Skin(135), Skin(137));
    auto rectOf = [&](CBtnEx& b) {
        RECT r{};
        ::GetWindowRect(b.m_hWnd, &r);
        ::MapWindowPoints(nullptr, frame.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    EXPECT_EQ(rectOf(frame.CloseButton()).right, 300);
    EXPECT_EQ(rectOf(frame.CloseButton()).left - rectOf(frame.MaximizeButton()).right, 4);
    EXPECT_EQ(rectOf(frame.MaximizeButton()).left - rectOf(frame.MinimizeButton()).right, 4);

    // A size change pushes them back to the right edge, touching.
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, 400, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(rectOf(frame.CloseButton()).right, 400);
    EXPECT_EQ(rectOf(frame.CloseButton()).left, rectOf(frame.MaximizeButton()).right);
    EXPECT_EQ(rectOf(frame.MaximizeButton()).left, rectOf(frame.MinimizeButton()).right);

    // Maximise fills the work area (centred when it is wider than allowed) and back again.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    frame.restoreRect = RECT{50, 60, 350, 260};
    frame.maxWidth = (work.right - work.left) - 100;
    frame.ToggleMaximize();
    EXPECT_TRUE(frame.maximized);
    RECT r{};
    ::GetWindowRect(frame.m_hWnd, &r);
    EXPECT_EQ(r.left, work.left + 50);
    EXPECT_EQ(r.right, work.right - 50);
    EXPECT_EQ(r.top, work.top);
    frame.ToggleMaximize();
    EXPECT_FALSE(frame.maximized);
    ::GetWindowRect(frame.m_hWnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.bottom, 260);

    // While maximised the frame answers the hit test as plain client area.
    frame.maximized = true;
    EXPECT_EQ(frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 1, r.top + 1)), HTCLIENT);
    frame.maximized = false;
    EXPECT_EQ(frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 1, r.top + 1)), HTTOPLEFT);
    EXPECT_EQ(frame.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 100, r.top + 10)), HTCAPTION);
}

TEST_F(SkinKit, OwnerDrawIsReflectedToTheButtonAndCaptionCommandsRoute) {
    fw::Bitmap strip(Skin(133));
    CBtnEx button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD, RECT{20, 50, 77, 73}, frame->m_hWnd, 708));
    button.SetImage(strip.Get(), true);
    fw::WindowDc screen(nullptr);
    Canvas picture(screen.Get(), 57, 23);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 708;
    item.hwndItem = button.m_hWnd;
    item.hDC = picture.Dc();
    item.rcItem = RECT{0, 0, 57, 23};
    item.itemState = ODS_SELECTED;
    EXPECT_EQ(frame->SendMessage(WM_DRAWITEM, 708, reinterpret_cast<LPARAM>(&item)), TRUE);
    EXPECT_EQ(::GetPixel(picture.Dc(), 28, 6), PixelOf(strip.Get(), 2 * 57 + 28, 6));

    // The close caption command asks the window to close through the system command.
    MSG msg;
    while (::PeekMessageW(&msg, frame->m_hWnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
    }
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(kCloseButtonId, BN_CLICKED), 0);
    ASSERT_TRUE(::PeekMessageW(&msg, frame->m_hWnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_CLOSE));
}

namespace {

// A frame that counts the clicks of its labels' command ids.
class CClickFrame : public CTestFrame {
public:
    std::vector<std::pair<UINT, LPARAM>> clicks;  // (id and code, control)

protected:
    BOOL OnCommand(WPARAM w, LPARAM l) override {
        if (LOWORD(w) >= 800 && LOWORD(w) < 810) {
            clicks.emplace_back(static_cast<UINT>(w), l);
            return TRUE;
        }
        return CTestFrame::OnCommand(w, l);
    }
};

POINT ScreenCentre(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace

TEST(LinkLabel, TakesTheMouseAndSendsItsClickOnlyWhenItIsALink) {
    CClickFrame frame;
    ASSERT_TRUE(frame.Create());
    ::SetWindowPos(frame.m_hWnd, HWND_TOPMOST, 40, 40, 300, 200, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    frame.SetSkin(Skin(131), false, true, nullptr);

    struct Case {
        const char* name;
        DWORD style;
        bool linkCursor;
        bool hoverEnabled;
        bool takesMouse;
        bool clicks;
    };
    const Case cases[] = {
        {"plain label lets the mouse through to the frame", 0, false, false, false, false},
        {"link cursor (the add-account label)", SS_NOTIFY, true, false, true, true},
        {"link cursor without the notify style", 0, true, false, true, true},
        {"notify style alone", SS_NOTIFY, false, false, true, true},
        {"hover colour only", 0, false, true, true, false},
    };
    UINT id = 800;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CStaticEx label;
        ASSERT_TRUE(label.Create(L"登录其他账号", WS_CHILD | WS_VISIBLE | c.style, RECT{20, 60, 112, 76},
                                 frame.m_hWnd, id));
        label.linkCursor = c.linkCursor;
        label.underline = c.linkCursor;
        label.hoverEnabled = c.hoverEnabled;
        EXPECT_EQ(::WindowFromPoint(ScreenCentre(label.m_hWnd)), c.takesMouse ? label.m_hWnd : frame.m_hWnd);

        frame.clicks.clear();
        label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        label.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        // Pressed on the label, released away from it: no click.
        label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        label.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
        if (c.clicks) {
            ASSERT_EQ(frame.clicks.size(), 1u);
            EXPECT_EQ(frame.clicks[0].first, MAKEWPARAM(id, STN_CLICKED));
            EXPECT_EQ(frame.clicks[0].second, reinterpret_cast<LPARAM>(label.m_hWnd));
        } else {
            EXPECT_TRUE(frame.clicks.empty());
        }
        EXPECT_EQ(::GetCapture(), nullptr);
        ++id;
    }
}

TEST(SkinnedFrame, RemadeCaptionButtonsStartWithoutHoverOrLatch) {
    CTestFrame frame;
    ASSERT_TRUE(frame.Create());
    fw::Bitmap close(Skin(132));
    frame.SetSkin(Skin(134), false, true, close.Get());
    frame.CloseButton().SendMessage(WM_MOUSEHOVER);
    frame.CloseButton().FrameForState(ODS_SELECTED);
    ASSERT_TRUE(frame.CloseButton().Hovered());
    ASSERT_TRUE(frame.CloseButton().PressedLatch());
    frame.SetSkin(Skin(134), false, true, close.Get());
    EXPECT_FALSE(frame.CloseButton().Hovered());
    EXPECT_FALSE(frame.CloseButton().PressedLatch());
    EXPECT_EQ(frame.CloseButton().FrameForState(0), 0);
}

TEST(SkinnedFrame, RendersItsPictureOncePerSizeAndTitleAndCopiesOnlyWhatIsAsked) {
    CTestFrame frame;
    ASSERT_TRUE(frame.Create());
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame.SetSkin(Skin(131), false, true, nullptr);
    fw::Bitmap skin(Skin(131));
    fw::WindowDc screen(nullptr);
    auto paint = [&](int width, int height) {
        auto canvas = std::make_unique<Canvas>(screen.Get(), width, height);
        frame.PaintFrame(canvas->Dc());
        return canvas;
    };

    const int before = frame.FrameRenders();
    auto whole = paint(200, 120);
    paint(200, 120);
    // A control's picture: the part of the frame under it, shifted to its origin.
    {
        Canvas part(screen.Get(), 10, 10);
        POINT old{};
        ::SetWindowOrgEx(part.Dc(), 195, 110, &old);
        frame.PaintFrame(part.Dc());
        ::SetWindowOrgEx(part.Dc(), old.x, old.y, nullptr);
        for (POINT p : {POINT{0, 0}, POINT{4, 5}, POINT{4, 9}}) {
            EXPECT_EQ(::GetPixel(part.Dc(), p.x, p.y), ::GetPixel(whole->Dc(), 195 + p.x, 110 + p.y));
        }
    }
    EXPECT_EQ(frame.FrameRenders(), before + 1);

    // A new size or title renders again, and what is drawn is the new one.
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, 260, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto wider = paint(260, 120);
    EXPECT_EQ(frame.FrameRenders(), before + 2);
    EXPECT_EQ(::GetPixel(wider->Dc(), 259, 60), PixelOf(skin.Get(), 29, 35));
    frame.SetTitle(L"kelvra - Brennic");
    paint(260, 120);
    EXPECT_EQ(frame.FrameRenders(), before + 3);
    EXPECT_TRUE(::GetWindowLongPtrW(frame.m_hWnd, GWL_STYLE) & WS_CLIPCHILDREN);
}

namespace {

bool g_frameWholeWhileDying = false;
bool g_frameAsked = false;

LRESULT CALLBACK AskFrameOnDestroy(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) {
        fw::CWnd* parent = fw::CWnd::FromHandlePermanent(::GetParent(wnd));
        g_frameAsked = true;
        g_frameWholeWhileDying = parent && dynamic_cast<CDlgEx*>(parent) != nullptr;
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

}  // namespace

TEST(SkinnedFrame, GoesWhileItsButtonsAndSkinStillExist) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &AskFrameOnDestroy;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"AskFrameOnDestroy";
    ::RegisterClassW(&wc);
    g_frameAsked = false;
    auto frame = std::make_unique<CTestFrame>();
    ASSERT_TRUE(frame->Create());
    fw::Bitmap close(Skin(132));
    frame->SetSkin(Skin(134), false, true, close.Get());
    ASSERT_NE(::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 5, 5, frame->m_hWnd, nullptr, wc.hInstance,
                                nullptr),
              nullptr);
    HWND closeButton = frame->CloseButton().m_hWnd;
    frame.reset();
    EXPECT_TRUE(g_frameAsked);
    EXPECT_TRUE(g_frameWholeWhileDying);
    EXPECT_FALSE(::IsWindow(closeButton));
}
