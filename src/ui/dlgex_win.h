// CDlgEx: the skinned frame every window of the launcher's own is built on. It turns a
// template dialog into a borderless window drawn from a skin image: background (whole or
// nine-sliced), icon and title text, its own caption buttons with tooltips, dragging by the
// title bar, resizing by the borders, a shape cut from the skin's magenta corners, and its own
// maximise to the work area with a remembered restore rectangle.
//
// Subclasses call CDlgEx::OnInitDialog first in their own initialisation, then set the frame
// parameters and call SetSkin.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"
#include "framework/handle_win.h"
#include "ui/btnex_win.h"

namespace tamsolo::ui {

constexpr UINT kCloseButtonId = 50000;
constexpr UINT kMinimizeButtonId = 50001;
constexpr UINT kMaximizeButtonId = 50002;

class CDlgEx : public fw::CDialog {
public:
    explicit CDlgEx(UINT templateId, HWND parent = nullptr) : fw::CDialog(templateId, parent) {}
    // The window goes while the caption buttons and the skin still exist: their destruction
    // would otherwise send the frame messages it could no longer answer.
    ~CDlgEx() override;

    // The frame owns background, maximizeImage and restoreImage from now on; the close and
    // minimise strips are copied, so the caller keeps (and may delete) those. A caption button
    // is made only for a non-null image.
    void SetSkin(HBITMAP background, bool resizeToImage, bool nineSlice, HBITMAP closeImage,
                 HBITMAP minimizeImage = nullptr, HBITMAP maximizeImage = nullptr, HBITMAP restoreImage = nullptr);
    void SetTitle(const std::wstring& text);
    // The frame of the launcher's small dialogs: a 30-pixel title bar, 4-pixel borders, only a
    // close button (skin image 132) in the top-right corner, and the background image
    // nine-sliced to the dialog's size.
    void SetSmallDialogSkin(UINT backgroundImage);
    // For a window whose skin sets its size or whose code places its controls in pixels: the
    // template's controls and the window's font are brought back from the display's scale to
    // the skin's, so texts fit the places the skin has for them. Call it in the initialisation,
    // before the title is set and before controls are subclassed. Nothing changes at 100 %.
    void LayOutAtSkinScale();

    virtual void OnTitleClose();
    virtual void OnTitleMinimize();
    virtual void ToggleMaximize();
    virtual void UpdateMaximizeButton(bool maximized);

    // Frame parameters.
    bool showTitle = true;
    bool showIcon = true;
    int titleHeight = -1;
    int buttonRightMargin = 5;
    int buttonTop = 1;
    int buttonSpacing = 0;
    int borderWidth = 3;
    COLORREF titleColor = RGB(255, 255, 255);
    int titleWeight = FW_NORMAL;
    int maxWidth = 1440;
    int maxHeight = 900;
    RECT restoreRect{};
    bool maximized = false;
    bool resizable = false;

    HBITMAP Background() const { return background_.Get(); }
    bool NineSlice() const { return nineSlice_; }
    CBtnEx& CloseButton() { return closeButton_; }
    CBtnEx& MinimizeButton() { return minimizeButton_; }
    CBtnEx& MaximizeButton() { return maximizeButton_; }

    // Paints the frame (background, icon, title) into dc as the erase handler does; false when
    // there is no background. Only the part inside dc's clipping box is copied, from a picture
    // of the whole frame that is rendered again only when the size, skin or title changed.
    bool PaintFrame(HDC dc);
    // How often that picture has been rendered (for tests and measurements).
    int FrameRenders() const { return frameRenders_; }

protected:
    BOOL OnInitDialog() override;

    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnNcLButtonDown(WPARAM, LPARAM);
    LRESULT OnNcLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnGetFont(WPARAM, LPARAM);
    void OnCloseCommand() { OnTitleClose(); }
    void OnMinimizeCommand() { OnTitleMinimize(); }
    void OnMaximizeCommand() { ToggleMaximize(); }
    FW_DECLARE_MESSAGE_MAP()

private:
    void BuildRegion();
    void DrawBackground(HDC dc, int width, int height);
    // What the rendered frame depends on besides the skin image itself.
    struct FrameKey {
        int width = 0, height = 0;
        std::wstring title;
        HICON icon = nullptr;
        bool showTitle = false, showIcon = false, nineSlice = false;
        int borderWidth = 0, titleHeight = 0, titleWeight = 0;
        COLORREF titleColor = 0;
        bool operator==(const FrameKey& o) const;
    };
    FrameKey CurrentFrameKey() const;
    bool RenderFrame(HDC compatibleWith, const FrameKey& key);
    void PlaceButtonsAfterResize(int clientWidth);
    void MakeCaptionButton(CBtnEx& button, UINT id, HBITMAP image, int right, int top, const wchar_t* tip);
    HFONT TitleFont();

    fw::Bitmap background_;
    bool nineSlice_ = false;
    CBtnEx closeButton_;
    CBtnEx minimizeButton_;
    CBtnEx maximizeButton_;
    fw::Bitmap maximizeImage_;
    fw::Bitmap restoreImage_;
    fw::Font titleFont_;
    fw::Font skinScaleFont_;
    int titleFontWeight_ = -1;
    fw::Bitmap frame_;  // the rendered frame, window-sized
    FrameKey frameKey_;
    bool frameStale_ = true;
    int frameRenders_ = 0;
};

}  // namespace tamsolo::ui
