#include "framework/dialog_win.h"

#include "framework/app_win.h"

namespace fw {

namespace {

// The dialog whose template is being instantiated on this thread; it takes the window over on
// the first message the dialog procedure sees.
thread_local CDialog* t_creatingDialog = nullptr;

bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

bool IsWindowOfThisProcess(HWND wnd) {
    DWORD pid = 0;
    return ::GetWindowThreadProcessId(wnd, &pid) != 0 && pid == ::GetCurrentProcessId();
}

HMODULE g_resourceModule = nullptr;

}  // namespace

HMODULE ResourceModule() { return g_resourceModule ? g_resourceModule : ::GetModuleHandleW(nullptr); }

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT msg, WPARAM, LPARAM) {
    if (!FromHandlePermanent(wnd) && t_creatingDialog) {
        CDialog* self = t_creatingDialog;
        t_creatingDialog = nullptr;
        // From now on the window procedure is ours and the dialog manager's procedure is the
        // default handling behind it; this procedure only answers "not handled".
        if (self->SubclassWindow(wnd) && msg == WM_INITDIALOG) {
            // A template without a font sends WM_INITDIALOG first, before we were in place.
            const BOOL focusDefault = self->OnInitDialog();
            self->CenterIfUnplaced();
            return focusDefault;
        }
    }
    return FALSE;
}

bool CDialog::CreateFromTemplate(HWND parent) {
    if (m_hWnd) return false;
    m_ending = false;
    m_result = -1;
    CDialog* previous = t_creatingDialog;
    t_creatingDialog = this;
    HWND wnd = ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), parent,
                                    &CDialog::DialogProc, 0);
    t_creatingDialog = previous;
    if (!wnd) return false;
    if (m_hWnd != wnd) {  // the procedure never ran: nothing of ours is attached
        ::DestroyWindow(wnd);
        return false;
    }
    return true;
}

bool CDialog::Create(HWND parent) {
    if (parent) m_parent = parent;
    m_modal = false;
    return CreateFromTemplate(m_parent);
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_parent ? ::GetAncestor(m_parent, GA_ROOT) : nullptr;
    m_modal = true;
    // The owner is disabled before the dialog exists, so even the dialog's initialisation
    // already runs modally. Only an owner of this process: a page process's dialogs are owned
    // by the main window of another process, which would stay disabled for good if this
    // process died with the dialog open, and whose other pages stay in play meanwhile.
    const bool disabledOwner = owner && IsWindowOfThisProcess(owner) && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    if (!CreateFromTemplate(m_parent)) {
        if (disabledOwner) ::EnableWindow(owner, TRUE);
        m_modal = false;
        return -1;
    }
    if (!m_ending && m_hWnd) ::ShowWindow(m_hWnd, SW_SHOW);

    RunModalLoop();

    // Give the owner its input back before the dialog goes, so activation returns to it
    // rather than to some other application's window.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_modal = false;
    return m_result;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_ending && m_hWnd && ::IsWindow(m_hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The thread is quitting: end this dialog and let the outer loop see WM_QUIT too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (WalkPreTranslateFilters(&msg)) continue;
        if (m_hWnd && ::IsDialogMessageW(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    if (m_modal) {
        m_ending = true;
        // Wake the loop in case we were called from outside a dispatched message.
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !IsKeyboardMessage(msg->message)) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

void CDialog::CenterIfUnplaced() {
    if (!m_hWnd || (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD)) return;
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    if (r.left != 0 || r.top != 0) return;
    // A template without a position leaves the window in the screen's corner; centre it over
    // its owner, or over the work area when the owner is hidden or there is none.
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
    const int w = r.right - r.left, h = r.bottom - r.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_INITDIALOG) {
        const BOOL focusDefault = OnInitDialog();
        CenterIfUnplaced();
        return focusDefault;
    }
    return CWnd::WindowProc(msg, w, l);
}

BOOL CDialog::OnCommand(WPARAM w, LPARAM l) {
    if (CWnd::OnCommand(w, l)) return TRUE;
    if (!IsCommandClick(w, l)) return FALSE;
    switch (LOWORD(w)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace fw
