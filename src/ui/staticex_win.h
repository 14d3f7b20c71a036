// CStaticEx: a label that draws its own wrapped text in the "微软雅黑" face, optionally as a
// hover-coloured link with a hand cursor and a small image or icon beside the text.
//
// A plain label lets the mouse through to the window behind it, as a static control does, so
// a label on a title bar still drags the window. A label that reacts to the mouse (link cursor,
// hover colour or the notify style) takes the mouse whatever its style; a link (link cursor or
// notify style) sends its parent WM_COMMAND with STN_CLICKED when pressed and released on it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle_win.h"
#include "framework/wnd_win.h"
#include "ui/draw_win.h"

namespace tamsolo::ui {

class CStaticEx : public fw::CWnd {
public:
    CStaticEx() = default;

    // Takes over a template static; its window text becomes the label's text.
    bool SubclassDlgItem(UINT id, fw::CWnd* parent);
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id);

    // A one-frame image beside the text (magenta transparent); the caller keeps the bitmap.
    void SetImage(HBITMAP bitmap);

    // Owners set these and repaint.
    std::wstring text;
    int fontWidth = 0;    // 0 = keep
    int fontWeight = -1;  // -1 = keep
    int fontHeight = 0;   // 0 = keep
    bool linkCursor = false;
    bool underline = false;
    COLORREF textColor = 0;
    COLORREF hoverColor = 0;
    int lineSpacing = 3;
    bool hoverEnabled = false;
    HICON icon = nullptr;  // not owned
    bool imageOnRight = false;
    int imageIndex = 0;

    bool Hovered() const { return hovered_; }
    // Whether the label takes the mouse, and whether a click on it is sent to the parent.
    bool TakesMouse() const;
    bool SendsClicks() const;
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }

    // Paints the whole label into dc at (0, 0) as the paint handler does.
    void PaintInto(HDC dc);

protected:
    // Draws the text into the label's picture; the line breaking lives here.
    virtual void DrawLabelText(HDC dc, const RECT& client);

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseHover(WPARAM, LPARAM);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    HFONT LabelFont();

    fw::Font font_;
    bool hovered_ = false;
    bool tracking_ = false;
    bool pressed_ = false;  // pressed on the label, waiting for the release
    ImageList image_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
};

}  // namespace tamsolo::ui
