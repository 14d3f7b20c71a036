// CDHtmDlgEx: a page that behaves like a piece of the launcher's skin. No border, no context
// menu, no script-error dialogs, no text selection; "app:" page commands never reach the
// network; image buttons (class "button") light up and press like native ones; the page
// background (body, td, div) drags the window.
#pragma once

#include <windows.h>

#include "web/dhtmpolicy.h"
#include "web/htmldialog_win.h"

namespace web {

class CDHtmDlgEx : public CDHtmlDialog, private tamsolo::PageHostWindow {
public:
    CDHtmDlgEx(UINT templateId, HWND parent, const std::wstring& url = L"");

    // Set the cancel flag for a failed navigation; true = handled. Bound to the control's
    // navigation error (not to document-complete, whose arguments are different): the
    // browser's own error page never shows, and the host's notice takes its place.
    virtual bool OnNavigateErrorEx(const std::wstring& url, long status, bool* cancel);

protected:
    BOOL OnInitDialog() override;  // base, then silent mode
    void OnOK() override {}        // Enter never closes the page
    // "app:" cancelled, "javascript" allowed, anything else left as it is.
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
    // Base, then the body's scroll attribute to "auto".
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override;
    void OnNavigateError(const std::wstring& url, long status, bool* cancel) override;
    DWORD HostFlags() override;  // adds kHostFlagDialog
    const PageEventEntry* PageEvents() const override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

    // Handlers of the table.
    HRESULT OnButtonNormal(const tamsolo::PageElementPtr& source);
    HRESULT OnButtonHover(const tamsolo::PageElementPtr& source);
    HRESULT OnButtonPress(const tamsolo::PageElementPtr& source);
    HRESULT OnButtonRelease(const tamsolo::PageElementPtr& source);
    HRESULT OnDragBegin(const tamsolo::PageElementPtr& source);
    HRESULT OnDragEnd(const tamsolo::PageElementPtr& source);
    HRESULT OnDragMove(const tamsolo::PageElementPtr& source);
    HRESULT OnNothing(const tamsolo::PageElementPtr& source);

    LRESULT OnDestroy(WPARAM, LPARAM);
    FW_DECLARE_MESSAGE_MAP()

private:
    // PageHostWindow: this dialog's window.
    bool HasCapture() const override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    tamsolo::ScreenPoint CursorPos() const override;
    void SendCaptionMouse(tamsolo::CaptionMouse kind, std::uint32_t packedPoint) override;

    tamsolo::ImageButtonPolicy buttons_;
    tamsolo::PageDragPolicy drag_;
};

}  // namespace web
