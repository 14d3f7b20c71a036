// CLoginBkDlg: the borderless login background of a page process. Its shape and look are a
// per-pixel-alpha picture; the login page floats over it at a fixed offset and moves with it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/dialog_win.h"

namespace web {

class CLoginDlg;

constexpr UINT kLoginTemplate = 157;
constexpr UINT kLoginBackgroundPng = 129;
// Where the login page sits over the background's top-left corner.
constexpr int kLoginPageOffsetX = 271;
constexpr int kLoginPageOffsetY = 83;

class CLoginBkDlg : public fw::CDialog {
public:
    // owner: the main launcher window; pageCount: how many game pages it held when it started
    // this process.
    CLoginBkDlg(HWND owner, int pageCount);

    // The page the login window opens: the platform's login page unless changed before the
    // window is made (empty: none).
    void SetLoginAddress(const std::wstring& address) { loginAddress_ = address; }
    ~CLoginBkDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    HWND Owner() const { return owner_; }
    int PageCount() const { return pageCount_; }
    // Ends the login: IDOK hands gameAddress on as the process's game address.
    void EndLogin(INT_PTR result, const std::wstring& gameAddress = std::wstring());
    bool Ending() const { return ending_; }

    // The size of the decoded background picture (0 × 0 when it could not be drawn).
    int PictureWidth() const { return pictureWidth_; }
    int PictureHeight() const { return pictureHeight_; }
    CLoginDlg* LoginPage() { return page_.get(); }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM);
    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    bool DrawBackground();
    void CreateLoginPage();
    void PlacePage();

    HWND owner_;
    int pageCount_;
    std::wstring loginAddress_;
    bool ending_ = false;
    std::unique_ptr<CLoginDlg> page_;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
};

}  // namespace web
