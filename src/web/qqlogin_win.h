// Sign-in through an outside account service (QQ, Weibo or a partner site): CQQLogin, a
// skinned frame, holds CQQHtml, the service's page. When the service sends the player back to
// one of the platform's callback addresses and the platform has set its "Pauth" cookie, the
// sign-in is complete and both windows close.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/dlgex_win.h"
#include "web/htmldialog_win.h"

namespace web {

// The service addresses the sign-in page watches for.
std::wstring QQAuthorizeAddress();     // https://<QQ service>/oauth2.0/authorize
std::wstring PartnerCallbackAddress(); // http://<platform>/clientcallback.php?game=vopr
std::wstring WeiboCallbackAddress();   // http://<external-login server>/weibo/callback.do?state

// True when url begins with one of the two callback addresses (not merely contains one).
bool IsSignInCallback(const std::wstring& url);
// The "Pauth" cookie the platform sets for url at sign-in, found by its name among all the
// cookies of url, with a value. A failed lookup counts as none.
bool HasSignInCookie(const std::wstring& url);

// How many 10 ms ticks the closed page looks for a message box it left behind.
constexpr int kLeftoverBoxTicks = 300;

class CQQHtml : public CDHtmlDialog {
public:
    explicit CQQHtml(HWND parent = nullptr);

    BOOL PreTranslateMessage(MSG* msg) override;
    // The page opened each time the window is shown (once it is visible).
    void SetAddress(const std::wstring& address) { address_ = address; }
    const std::wstring& Address() const { return address_; }
    // The owning frame, ended when the sign-in completes.
    void SetFrame(fw::CDialog* frame) { frame_ = frame; }

    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}

    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnOpenAddress(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    std::wstring address_;
    fw::CDialog* frame_ = nullptr;
    int ticks_ = 0;
};

class CQQLogin : public tamsolo::ui::CDlgEx {
public:
    CQQLogin();
    ~CQQLogin() override;

    CQQHtml& Page() { return page_; }

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

    LRESULT OnShowWindow(WPARAM, LPARAM);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void PlacePage();

    CQQHtml page_;
};

}  // namespace web
