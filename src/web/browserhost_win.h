// The Internet Explorer web-browser control on the launcher's own OLE container: client site,
// in-place site and frame, IDocHostUIHandler, IDocHostShowUI, the DWebBrowserEvents2 sink and
// the document's element events. Windows that show a page own one CBrowserHost and hear from
// it through BrowserEvents; nothing of COM leaks past this header.
//
// In the test build only, every host also answers a small channel (a hidden child window of
// class "TamsoloBrowserTest" beside the control) through which the test probe asks it to
// navigate, as a page script would, and to raise navigate-complete and title changes where
// Wine cannot complete a document.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "web/pageelement.h"

namespace web {

// Host flags the browser is given (IDocHostUIHandler::GetHostInfo).
constexpr DWORD kHostFlagDialog = 0x01;      // DOCHOSTUIFLAG_DIALOG: no text selection
constexpr DWORD kHostFlagNo3dBorder = 0x04;  // DOCHOSTUIFLAG_NO3DBORDER
constexpr DWORD kHostFlagScrollNo = 0x08;    // DOCHOSTUIFLAG_SCROLL_NO

// What the control tells its host. Everything runs on the thread that created the host.
class BrowserEvents {
public:
    virtual ~BrowserEvents() = default;
    // BeforeNavigate2. *cancel starts as the control gave it; set it to stop the navigation.
    virtual void OnBeforeNavigate(const std::wstring& url, bool* cancel) { (void)url; (void)cancel; }
    // NavigateComplete2; topLevel = the completing frame is the top-level browser.
    virtual void OnNavigateComplete(const std::wstring& url, bool topLevel) { (void)url; (void)topLevel; }
    virtual void OnDocumentComplete(const std::wstring& url, bool topLevel) { (void)url; (void)topLevel; }
    // NavigateError; *cancel set = no error page of the browser's own.
    virtual void OnNavigateError(const std::wstring& url, long status, bool* cancel) {
        (void)url; (void)status; (void)cancel;
    }
    virtual void OnTitleChange(const std::wstring& title) { (void)title; }
    // The top-level page could not be opened (no connection, or an HTTP error; status as
    // NavigateError gave it), after OnNavigateError. True lets the host cover the page with its
    // own notice and a retry button, so the player is never left before an empty window; a
    // window that is still hidden at that point (the login page) should show itself here.
    virtual bool OnPageUnreachable(const std::wstring& url, long status) {
        (void)url; (void)status;
        return true;
    }
    // An element event of the top document (tamsolo::kDisp...), with its source element.
    virtual HRESULT OnElementEvent(long dispid, const tamsolo::PageElementPtr& source) {
        (void)dispid; (void)source;
        return S_FALSE;
    }
    // IDocHostUIHandler::GetHostInfo.
    virtual DWORD HostFlags() { return kHostFlagNo3dBorder | kHostFlagScrollNo; }
    // IDocHostUIHandler::ShowContextMenu: true = handled, no menu.
    virtual bool VetoContextMenu() { return true; }
    // IDocHostShowUI::ShowMessage / ShowHelp: S_FALSE lets the browser show its own.
    virtual HRESULT ShowMessage(HWND wnd, const wchar_t* text, const wchar_t* caption, DWORD type, LRESULT* result) {
        (void)wnd; (void)text; (void)caption; (void)type; (void)result;
        return S_FALSE;
    }
    virtual HRESULT ShowHelp() { return S_FALSE; }
};

class CBrowserHost {
public:
    CBrowserHost();
    ~CBrowserHost();
    CBrowserHost(const CBrowserHost&) = delete;
    CBrowserHost& operator=(const CBrowserHost&) = delete;

    // Creates the control in place over rect (client coordinates of parent). events must
    // outlive the host. False when the control could not be made.
    bool Create(HWND parent, const RECT& rect, BrowserEvents* events);
    // Closes the control and lets go of every interface; safe to call twice.
    void Destroy();
    bool IsCreated() const;

    bool Navigate(const std::wstring& url);
    bool Refresh();
    bool SetSilent(bool silent);
    void Move(const RECT& rect);
    // The control's own window (the first child of the parent it was created in), or null.
    HWND ControlWindow() const;
    // Sets the top document body's "scroll" attribute; false when there is no document or body.
    bool SetBodyScroll(const wchar_t* value);
    // The address of the current document as the control reports it.
    std::wstring LocationUrl() const;

    // The notice the host shows over the control when the top-level page cannot be opened;
    // null while it is not shown.
    HWND NoticeWindow() const;
    // The address the notice's retry opens (the one that failed), empty when none.
    const std::wstring& FailedUrl() const;
    // Hides the notice and navigates to the failed address again.
    bool Retry();

    // The host flags the site hands the control when it asks (IDocHostUIHandler::GetHostInfo
    // of the client site the control holds); 0 when there is no control.
    DWORD SiteHostFlags() const;
    // True when the control's client site also answers for IDocHostShowUI.
    bool SiteHasShowUI() const;
    // How many of the container's COM objects (sites and sinks) are alive in this process:
    // once every host is destroyed and the control has let go, none.
    static long LiveComObjects();

    // What the control raises, for the test build's channel (Wine completes no document).
    // Each runs exactly the path the control's own event would take.
    void RaiseNavigateComplete(const std::wstring& url);
    void RaiseTitleChange(const std::wstring& title);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace web
