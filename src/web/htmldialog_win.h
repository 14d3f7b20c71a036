// Windows that show one web page: CDHtmlDialog, a dialog from a template whose client area is
// the browser, and CHtmlView, a child window holding the browser (the game frame's view).
// Both dispatch element events of the top document through a page-event table per class:
// an entry matches the source element's class name or tag name and the event number.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"
#include "framework/wnd_win.h"
#include "web/browserhost_win.h"

namespace web {

class CDHtmlDialog;

enum class PageMatch { kClass, kTag };

struct PageEventEntry {
    PageMatch match;
    const char16_t* name;  // nullptr ends the table
    long dispid;
    HRESULT (CDHtmlDialog::*handler)(const tamsolo::PageElementPtr& source);
};

// A derived class's handler as a table entry's handler.
template <class F>
HRESULT (CDHtmlDialog::*PageHandler(F f))(const tamsolo::PageElementPtr&) {
    return static_cast<HRESULT (CDHtmlDialog::*)(const tamsolo::PageElementPtr&)>(f);
}

class CDHtmlDialog : public fw::CDialog, protected BrowserEvents {
public:
    CDHtmlDialog(UINT templateId, HWND parent, const std::wstring& url = L"");

    CBrowserHost& Browser() { return browser_; }
    const std::wstring& Url() const { return url_; }
    void SetUrl(const std::wstring& url) { url_ = url; }
    // True once a navigate-complete of the top-level browser has been seen.
    bool HasDocument() const { return hasDocument_; }

    // Keys typed into the page go to the control first (Tab between fields, Enter in a form),
    // and never to the dialog manager, which would take Tab, Enter and arrows for itself.
    // Derived windows that swallow keys do so before calling this.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Creates the browser over the whole client area and navigates to Url() if it is set.
    BOOL OnInitDialog() override;
    // Takes the top document when the completing frame is the top-level browser.
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override;
    // Dispatches through PageEvents(): the first matching entry runs; S_FALSE when none.
    HRESULT OnElementEvent(long dispid, const tamsolo::PageElementPtr& source) override;
    // This class's table; derived classes return their own (or the base's).
    virtual const PageEventEntry* PageEvents() const;

    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    CBrowserHost browser_;
    std::wstring url_;
    bool hasDocument_ = false;
};

class CHtmlView : public fw::CWnd, protected BrowserEvents {
public:
    CHtmlView() = default;

    // Creates the view as a child of parent over rect, with the browser filling it, then calls
    // OnInitialUpdate.
    bool Create(HWND parent, const RECT& rect, UINT id);
    CBrowserHost& Browser() { return browser_; }
    // Keys typed into the page go first to the filters of the windows around the view (the
    // frame's own keys), then to the control's accelerator handling, then to the page.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    virtual void OnInitialUpdate() {}

    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    CBrowserHost browser_;
};

}  // namespace web
