// CLoginDlg: the platform's login page, floating over the login background. It carries out
// the page's commands: "loadgame" asks the main window whether the account may play and hands
// the game address on, "exitgame" and "minimize" end or fold the login.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>

#include "web/dhtmdlgex_win.h"
#include "web/pagecommand.h"

namespace web {

class CLoginBkDlg;
class CQQLogin;

// The login page's own window message: run the page commands queued by BeforeNavigate2.
constexpr UINT kMsgRunPageCommands = WM_APP + 1;
// The first navigation, once the background is on screen.
constexpr UINT kMsgOpenLoginPage = WM_APP + 2;
// How long the main window may take to answer a registration.
constexpr UINT kRegistrationTimeoutMs = 10000;

class CLoginDlg : public CDHtmDlgEx {
public:
    CLoginDlg(CLoginBkDlg& background, const std::wstring& address);
    ~CLoginDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    const std::wstring& Address() const { return address_; }
    CQQLogin& SignIn() { return *signIn_; }

protected:
    BOOL OnInitDialog() override;
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override;
    bool OnPageUnreachable(const std::wstring& url, long status) override;
    const PageEventEntry* PageEvents() const override;
    void OnCancel() override {}  // Escape never closes the page

    HRESULT OnDragDown(const tamsolo::PageElementPtr& source);
    HRESULT OnDragUp(const tamsolo::PageElementPtr& source);
    HRESULT OnDragMouseMove(const tamsolo::PageElementPtr& source);

    LRESULT OnRunPageCommands(WPARAM, LPARAM);
    LRESULT OnOpenLoginPage(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void ShowPage();
    void RunCommand(const tamsolo::PageCommand& command);
    void LoadGame(const tamsolo::PageCommand& command);
    void Minimize();
    void SendDrag(UINT message);

    CLoginBkDlg& background_;
    std::wstring address_;
    std::unique_ptr<CQQLogin> signIn_;
    // Commands are carried out outside the browser's event, which must return first.
    std::deque<tamsolo::PageCommand> pending_;
};

// True only on Windows above major version 5 with EnableLUA = 1 under the system policies.
bool IsUacOn();

}  // namespace web
