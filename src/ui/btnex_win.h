// CBtnEx: an owner-drawn image button with four frames (normal, hover, pressed, disabled),
// hover tracking, a pressed latch and a tooltip.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle_win.h"
#include "framework/wnd_win.h"
#include "ui/draw_win.h"

namespace tamsolo::ui {

class CBtnEx : public fw::CWnd {
public:
    CBtnEx() = default;

    // Takes over a template button; captures its text as caption and makes it owner-drawn.
    bool SubclassDlgItem(UINT id, fw::CWnd* parent);
    // Creates the button as a child of parent (style e.g. WS_CHILD | WS_VISIBLE).
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, HWND parent, UINT id);

    // A strip of four equal frames; the caller keeps the bitmap. With resize the button takes
    // one frame's size.
    void SetImage(HBITMAP strip, bool resize);
    void SetTooltip(const std::wstring& text);
    // Forget hover state, e.g. when the button moves away from under the mouse.
    void ClearHover();

    COLORREF textColor = 0;

    // State, readable by owners and tests.
    bool Hovered() const { return hovered_; }
    bool PressedLatch() const { return pressedLatch_; }
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption) { caption_ = caption; }
    SIZE FrameSize() const { return frameSize_; }

    // Which frame a draw with these item-state flags shows (and latches "pressed").
    int FrameForState(UINT itemState);
    // Draws the button as it would appear with the given item-state flags into dc at (0, 0).
    void DrawInto(HDC dc, UINT itemState);

protected:
    BOOL OnChildNotify(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    void PostNcDestroy() override;

    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnMouseHover(WPARAM, LPARAM);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void OnAttached();
    void RefreshWindowRect();

    bool tracking_ = false;
    bool hovered_ = false;
    RECT windowRect_{};
    std::wstring caption_;
    ImageList stateImages_;
    SIZE frameSize_{};
    bool pressedLatch_ = false;
    bool tooltipOn_ = false;
    fw::Window tooltip_;
    std::wstring tooltipText_;
};

}  // namespace tamsolo::ui
