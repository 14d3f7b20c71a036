// The game page of a page process: a frame (CMainFrame) with one HTML view (CGmWndView) over
// an empty document (CGmWndDoc). The frame becomes a child of the main launcher window and
// sits in its content area as the page of one tab.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "web/htmldialog_win.h"
#include "web/pagecommand.h"

namespace web {

// Timers of the frame (the owner check belongs to the whole process: web/ownerwatch_win.h).
constexpr UINT_PTR kPageBoxTimer = 5;         // 130 ms once, at close: a page's message box goes
constexpr UINT_PTR kRaiseOwnerTimer = 6;      // 10 ms once, on a click: the owner comes forward
// The view's own message: run the "entergame" commands queued by BeforeNavigate2.
constexpr UINT kMsgRunEnterGame = WM_APP + 2;
// The view's own message: the first navigation, once the frame is in place.
constexpr UINT kMsgInitialNavigate = WM_APP + 3;

// Holds nothing: the game page's state lives in the process-wide values.
class CGmWndDoc {};

class CGmWndView : public CHtmlView {
public:
    CGmWndView() = default;

protected:
    void OnInitialUpdate() override;
    DWORD HostFlags() override;
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override;
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
    void OnTitleChange(const std::wstring& title) override;

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnRunEnterGame(WPARAM, LPARAM);
    LRESULT OnInitialNavigate(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void EnterGameHall(const tamsolo::EnterGameCommand& command);

    std::deque<tamsolo::EnterGameCommand> pending_;
};

class CMainFrame : public fw::CWnd {
public:
    explicit CMainFrame(HWND owner) : owner_(owner) {}
    ~CMainFrame() override;

    // Creates the frame (10 × 10, hidden, no caption); false when it could not be made.
    bool Create();
    BOOL PreTranslateMessage(MSG* msg) override;

    HWND Owner() const { return owner_; }
    CGmWndView* View() { return viewCreated_ ? &view_ : nullptr; }
    // Puts the frame into the owner's content area and shows it.
    void PlaceInOwner();
    // The owner is gone: the frame and its browser go while OLE is still up.
    void Shutdown();

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnMuteState(WPARAM, LPARAM);
    LRESULT OnReloadHotkeys(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    void RaiseOwner();
    bool Refresh(LPARAM lParam);

    HWND owner_;
    CGmWndDoc doc_;
    CGmWndView view_;
    bool viewCreated_ = false;
};

// The process's one frame, or null before it is made.
CMainFrame* MainFrame();
// Makes the frame of this process for the owner window; null when it could not be made.
CMainFrame* CreateMainFrame(HWND owner);

// Destroys the first message box a closing page left on this thread ("来自网页的消息", else the
// two Internet Explorer titles); boxes of other threads and programs are left alone. False when
// there was none.
bool DestroyPageMessageBox();

// Client rectangle of the owner with the tab strip (30 pixels) and a 4-pixel border taken off,
// in the owner's client coordinates.
RECT ContentArea(HWND owner);

}  // namespace web
