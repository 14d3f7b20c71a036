// CMessageBox: the skinned modal message box. Its size follows its text; one or two image
// buttons with captions stand centred above the bottom edge. Enter and Esc do nothing: only
// the buttons and the close command end it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"

namespace tamsolo::ui {

constexpr UINT kMessageBoxTemplate = 130;

class CMessageBox : public CDlgEx {
public:
    // Images are taken over by the box (the background is handed on to the frame).
    CMessageBox(HWND parent, int style, const std::wstring& title, const std::wstring& text, HBITMAP background,
                HBITMAP closeImage, HBITMAP firstButtonImage, HBITMAP secondButtonImage);

    COLORREF textColor = 0;
    int LineCount() const { return lineCount_; }
    CBtnEx& FirstButton() { return firstButton_; }
    CBtnEx& SecondButton() { return secondButton_; }
    // Draws the message lines into dc (the painting after the frame's background).
    void DrawMessage(HDC dc);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    void OnFirstButton();
    void OnSecondButton();
    FW_DECLARE_MESSAGE_MAP()

private:
    SIZE MeasureText(HDC dc) const;

    fw::Bitmap background_;
    fw::Bitmap closeImage_;
    fw::Bitmap firstButtonImage_;
    fw::Bitmap secondButtonImage_;
    std::wstring text_;
    std::wstring title_;
    int style_;
    int lineCount_ = 1;
    CBtnEx firstButton_;
    CBtnEx secondButton_;
};

}  // namespace tamsolo::ui
