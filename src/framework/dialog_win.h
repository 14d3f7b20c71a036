// Dialogs of the framework: windows made from dialog templates whose messages run through the
// same message tables as every other fw::CWnd.
//
// Modal dialogs run the framework's own loop (not the system's DialogBox), so every message is
// first offered to the pre-filters of its window and that window's ancestors, then to the
// dialog manager, then translated and dispatched. Modeless dialogs live in whatever loop the
// thread runs; their pre-filter gives the dialog manager its keyboard navigation.
#pragma once

#include <windows.h>

#include "framework/wnd_win.h"

namespace fw {

// The module dialog templates and skin images are read from: the executable itself unless a
// program (a test tool, say) points it at another module holding the launcher's resources.
HMODULE ResourceModule();
void SetResourceModule(HMODULE module);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_parent(parent), m_templateId(templateId) {}

    // Creates the dialog, disables its owner, runs the modal loop until EndDialog and returns
    // the result; -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog as a modeless window; the template decides whether it is visible.
    bool Create(HWND parent = nullptr);
    // Ends a modal dialog with the given result (the loop returns after the current message);
    // a modeless dialog is hidden.
    void EndDialog(INT_PTR result);

    bool IsModal() const { return m_modal; }
    UINT TemplateId() const { return m_templateId; }

    // Keyboard messages of this dialog and its controls go to the dialog manager (Tab, Enter,
    // Esc, mnemonics). Overrides that swallow keys do so before calling this.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Called once the dialog and its controls exist; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Enter (IDOK) and Esc or the close command (IDCANCEL) when no table entry takes them.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    BOOL OnCommand(WPARAM w, LPARAM l) override;

    HWND m_parent;

private:
    bool CreateFromTemplate(HWND parent);
    void CenterIfUnplaced();
    void RunModalLoop();
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);

    UINT m_templateId;
    bool m_modal = false;
    bool m_ending = false;
    INT_PTR m_result = -1;
};

}  // namespace fw
