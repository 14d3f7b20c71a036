// CLoginBkDlg: the borderless login background of a page process. Its shape and look are a
// per-pixel-alpha picture; the login page floats over it at a fixed offset and moves with it.
#pragma once

#include <windows.h>

#include "framework/dialog_win.h"

namespace web {

constexpr UINT kLoginTemplate = 157;
constexpr UINT kLoginBackgroundPng = 129;
// Where the login page sits over the background's top-left corner.
constexpr int kLoginPageOffsetX = 271;
constexpr int kLoginPageOffsetY = 83;

class CLoginBkDlg : public fw::CDialog {
public:
    explicit CLoginBkDlg(HWND owner);
    ~CLoginBkDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // The size of the decoded background picture (0 × 0 until it was drawn).
    int PictureWidth() const { return pictureWidth_; }
    int PictureHeight() const { return pictureHeight_; }

protected:
    BOOL OnInitDialog() override;

    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM);
    LRESULT OnShowWindow(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    bool DrawBackground();
    void CreateLoginPage();

    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
};

}  // namespace web
