#include "framework/wnd_win.h"

#include <unordered_map>

namespace fw {

namespace {

const wchar_t kObjectProp[] = L"Tamsolo.CWnd";
const wchar_t kClassName[] = L"TamsoloWnd";

// The object whose window is being created on this thread; it is attached on the first message.
thread_local CWnd* t_creating = nullptr;

// The windows this thread's objects are attached to. A window's messages are always handled on
// the thread that made it, so a per-thread table is all the lookup needs; a window of another
// thread or process (a page frame re-parented into ours, say) is simply not in it. Anyone can
// put a property on a window and GetPropW answers for other processes' windows too, so our
// property is only ever a cross-check against a reused handle value, never the source.
std::unordered_map<HWND, CWnd*>& AttachedWindows() {
    thread_local std::unordered_map<HWND, CWnd*> table;
    return table;
}

bool IsThisThreadsWindow(HWND wnd) {
    return ::GetWindowThreadProcessId(wnd, nullptr) == ::GetCurrentThreadId();
}

const MessageMapEntry kNoEntries[] = {{kEntryEnd, 0, 0, 0, nullptr, nullptr}};
const MessageMap kBaseMap = {nullptr, kNoEntries};

}  // namespace

CWnd::~CWnd() {
    // A window must not outlive its object. By now the derived parts of the object are gone,
    // so the window is let go first: a subclassed control gets its own procedure back, our own
    // class falls to DefWindowProc, and nothing its destruction sends reaches this object.
    // Classes whose handlers use their own members destroy the window in their own destructor.
    if (!m_hWnd) return;
    HWND wnd = UnsubclassWindow();
    if (wnd && ::IsWindow(wnd) && IsThisThreadsWindow(wnd)) ::DestroyWindow(wnd);
}

const MessageMap* CWnd::GetThisMessageMap() { return &kBaseMap; }
const MessageMap* CWnd::GetMessageMap() const { return &kBaseMap; }

const wchar_t* CWnd::DefaultClassName() {
    static ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWnd::StaticWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc);
    }();
    return atom ? kClassName : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
    if (!wnd) return nullptr;
    const auto& table = AttachedWindows();
    const auto found = table.find(wnd);
    if (found == table.end()) return nullptr;
    // A handle value is reused once its window is gone; a window destroyed behind our back
    // (its procedure taken over by someone who never passed WM_NCDESTROY on) no longer
    // carries our property, so the stale entry is not trusted.
    if (::GetPropW(wnd, kObjectProp) != found->second) return nullptr;
    return found->second;
}

void CWnd::Attach(HWND wnd) {
    m_hWnd = wnd;
    AttachedWindows()[wnd] = this;
    ::SetPropW(wnd, kObjectProp, this);
}

void CWnd::Detach() {
    if (m_hWnd) {
        auto& table = AttachedWindows();
        const auto found = table.find(m_hWnd);
        if (found != table.end() && found->second == this) table.erase(found);
        ::RemovePropW(m_hWnd, kObjectProp);
    }
    m_hWnd = nullptr;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU menuOrId, const wchar_t* className) {
    if (m_hWnd) return false;
    const wchar_t* cls = className ? className : DefaultClassName();
    if (!cls) return false;
    m_superProc = &::DefWindowProcW;
    CWnd* previous = t_creating;
    t_creating = this;
    HWND wnd = ::CreateWindowExW(exStyle, cls, title, style, x, y, width, height, parent, menuOrId,
                                 ::GetModuleHandleW(nullptr), nullptr);
    t_creating = previous;
    if (wnd && className && !m_hWnd) {
        // A class of someone else's: take its messages over now, or let the window go rather
        // than leave it behind with no object.
        if (SubclassWindow(wnd)) return true;
        ::DestroyWindow(wnd);
        return false;
    }
    return wnd != nullptr;
}

bool CWnd::SubclassWindow(HWND wnd) {
    // Only a window of this thread: its messages must come to the thread whose table holds it,
    // and another process's window cannot be taken over at all.
    if (!wnd || m_hWnd || !IsThisThreadsWindow(wnd) || FromHandlePermanent(wnd)) return false;
    Attach(wnd);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    if (!m_superProc) {
        Detach();
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && parent->m_hWnd && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND wnd = m_hWnd;
    if (!wnd) return nullptr;
    // A window of our own class keeps our procedure, which passes anything not attached to
    // DefWindowProc; only a taken-over window gets its own procedure back.
    if (m_superProc && m_superProc != &::DefWindowProcW) {
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    }
    m_superProc = nullptr;
    Detach();
    return wnd;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::Default() {
    WNDPROC proc = m_superProc ? m_superProc : &::DefWindowProcW;
    return ::CallWindowProcW(proc, m_hWnd, m_current.msg, m_current.w, m_current.l);
}

bool CWnd::FindHandler(UINT kind, UINT message, UINT id, const MessageMapEntry** found) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->kind != kEntryEnd; ++e) {
            if (static_cast<UINT>(e->kind) != kind) continue;
            switch (e->kind) {
                case kEntryMessage:
                    if (e->message == message) { *found = e; return true; }
                    break;
                case kEntryCommand:
                    if (id >= e->idFirst && id <= e->idLast) { *found = e; return true; }
                    break;
                default:
                    if (e->message == message && id >= e->idFirst && id <= e->idLast) { *found = e; return true; }
                    break;
            }
        }
        if (map->base == nullptr) break;
    }
    return false;
}

bool IsCommandClick(WPARAM w, LPARAM l) {
    // Menus and controls' clicks (BN_CLICKED, STN_CLICKED) send code 0. Code 1 is an
    // accelerator only when no control sent it: from a list box or combo box it is a selection
    // change, which is no click.
    const UINT code = HIWORD(w);
    return code == 0 || (code == 1 && l == 0);
}

BOOL CWnd::OnCommand(WPARAM w, LPARAM l) {
    UINT id = LOWORD(w);
    UINT code = HIWORD(w);
    const MessageMapEntry* e = nullptr;
    if (FindHandler(kEntryControl, code, id, &e) ||
        (IsCommandClick(w, l) && FindHandler(kEntryCommand, 0, id, &e))) {
        (this->*(e->onCommand))();
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

bool CWnd::ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
    HWND child = nullptr;
    switch (msg) {
        case WM_DRAWITEM:
            if (l) child = reinterpret_cast<const DRAWITEMSTRUCT*>(l)->hwndItem;
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_HSCROLL:
        case WM_VSCROLL:
            child = reinterpret_cast<HWND>(l);
            break;
        case WM_NOTIFY:
            if (l) child = reinterpret_cast<const NMHDR*>(l)->hwndFrom;
            break;
        default:
            return false;
    }
    CWnd* obj = FromHandlePermanent(child);
    return obj && obj != this && obj->OnChildNotify(msg, w, l, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    LRESULT reflected = 0;
    if (ReflectToChild(msg, w, l, &reflected)) return reflected;
    if (msg == WM_COMMAND) {
        if (OnCommand(w, l)) return 0;
        return Default();
    }
    const MessageMapEntry* e = nullptr;
    if (msg == WM_NOTIFY && l) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(l);
        if (FindHandler(kEntryNotify, hdr->code, static_cast<UINT>(hdr->idFrom), &e)) return (this->*(e->onMessage))(w, l);
        return Default();
    }
    if (FindHandler(kEntryMessage, msg, 0, &e)) return (this->*(e->onMessage))(w, l);
    return Default();
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    CWnd* self = FromHandlePermanent(wnd);
    if (!self) {
        self = t_creating;
        if (!self) return ::DefWindowProcW(wnd, msg, w, l);
        t_creating = nullptr;
        self->Attach(wnd);
    }
    Current saved = self->m_current;
    self->m_current = {msg, w, l};
    LRESULT result = self->WindowProc(msg, w, l);
    self->m_current = saved;
    if (msg == WM_NCDESTROY) {
        // Hand the window back to its own procedure for whatever comes after, then let go.
        if (self->m_superProc && self->m_superProc != &::DefWindowProcW) {
            ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_superProc));
        }
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}

}  // namespace fw
