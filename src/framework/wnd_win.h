// The window base of the launcher's own framework: every window and control class derives
// from fw::CWnd and routes its messages to handler methods through a static message table.
//
//   class CFoo : public fw::CWnd {
//       LRESULT OnSize(WPARAM, LPARAM);
//       void OnOkClicked();
//       FW_DECLARE_MESSAGE_MAP()
//   };
//   FW_BEGIN_MESSAGE_MAP(CFoo, fw::CWnd)
//       FW_ON_MESSAGE(WM_SIZE, OnSize)
//       FW_ON_COMMAND(IDOK, OnOkClicked)
//   FW_END_MESSAGE_MAP()
//
// A handler that wants the default handling as well calls Default().
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

using MsgHandler = LRESULT (CWnd::*)(WPARAM, LPARAM);
using CmdHandler = void (CWnd::*)();

enum EntryKind : int {
    kEntryEnd = 0,
    kEntryMessage,  // any message, by message number
    kEntryCommand,  // WM_COMMAND click: menu or control (code 0) or accelerator (code 1, no control), by id range
    kEntryControl,  // WM_COMMAND with a given notification code, by id range
    kEntryNotify,   // WM_NOTIFY with a given code, by id range
};

struct MessageMapEntry {
    int kind;
    UINT message;  // message number, or notification code for kEntryControl / kEntryNotify
    UINT idFirst;
    UINT idLast;
    MsgHandler onMessage;  // kEntryMessage, kEntryNotify (wParam, lParam as received)
    CmdHandler onCommand;  // kEntryCommand, kEntryControl
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;
};

// True when a WM_COMMAND is a click: a menu item or a control's click (code 0), or an
// accelerator (code 1 with no control behind it).
bool IsCommandClick(WPARAM w, LPARAM l);

class CWnd {
public:
    CWnd() = default;
    // Lets go of a window still attached and destroys it without routing anything to this
    // object (its derived parts are gone by then). A class whose handlers use its own members
    // calls DestroyWindow() in its own destructor, so the window goes while they still exist.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window of this thread's framework, or null. Windows of other
    // threads and processes are never taken for ours, whatever properties they carry.
    static CWnd* FromHandlePermanent(HWND wnd);

    // Creates a window of a class registered with the framework's window procedure.
    bool CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height,
                  HWND parent, HMENU menuOrId, const wchar_t* className = nullptr);
    // Routes an existing window's messages through this object; only a window of this thread.
    bool SubclassWindow(HWND wnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    bool DestroyWindow();

    // Filters a message before it is translated and dispatched; true = consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }

    // The window procedure of every framework window.
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
    // The class name registered for framework-created windows.
    static const wchar_t* DefaultClassName();

protected:
    // Dispatches through the message tables; unhandled messages go to Default().
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    // Routes WM_COMMAND through the tables; true when a handler took it.
    virtual BOOL OnCommand(WPARAM w, LPARAM l);
    // Owner-draw and similar messages a parent receives for a child, offered to the child first.
    virtual BOOL OnChildNotify(UINT msg, WPARAM w, LPARAM l, LRESULT* result);
    // Called after the last message; the object is detached. Heap-owned windows delete themselves here.
    virtual void PostNcDestroy() {}
    // The default handling of the message being processed.
    LRESULT Default();

    virtual const MessageMap* GetMessageMap() const;
    static const MessageMap* GetThisMessageMap();

    void Attach(HWND wnd);
    void Detach();

    WNDPROC m_superProc = nullptr;  // the procedure we took over from (DefWindowProc for our own class)

private:
    bool FindHandler(UINT kind, UINT message, UINT id, const MessageMapEntry** found) const;
    bool ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT* result);

    struct Current {
        UINT msg;
        WPARAM w;
        LPARAM l;
    } m_current{};
};

}  // namespace fw

#define FW_DECLARE_MESSAGE_MAP()                                    \
protected:                                                          \
    static const ::fw::MessageMap* GetThisMessageMap();             \
    const ::fw::MessageMap* GetMessageMap() const override;

#define FW_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                  \
    const ::fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }          \
    const ::fw::MessageMap* theClass::GetThisMessageMap() {                                          \
        using ThisClass = theClass;                                                                  \
        using TheBase = baseClass;                                                                   \
        static const ::fw::MessageMapEntry entries[] = {
#define FW_ON_MESSAGE(msg, fn) \
    {::fw::kEntryMessage, (msg), 0, 0, static_cast<::fw::MsgHandler>(&ThisClass::fn), nullptr},
#define FW_ON_COMMAND(id, fn) \
    {::fw::kEntryCommand, 0, (id), (id), nullptr, static_cast<::fw::CmdHandler>(&ThisClass::fn)},
#define FW_ON_COMMAND_RANGE(idFirst, idLast, fn) \
    {::fw::kEntryCommand, 0, (idFirst), (idLast), nullptr, static_cast<::fw::CmdHandler>(&ThisClass::fn)},
#define FW_ON_CONTROL(code, id, fn) \
    {::fw::kEntryControl, (code), (id), (id), nullptr, static_cast<::fw::CmdHandler>(&ThisClass::fn)},
#define FW_ON_NOTIFY(code, id, fn) \
    {::fw::kEntryNotify, static_cast<UINT>(code), (id), (id), static_cast<::fw::MsgHandler>(&ThisClass::fn), nullptr},
#define FW_END_MESSAGE_MAP()                                               \
    {::fw::kEntryEnd, 0, 0, 0, nullptr, nullptr}                           \
    }                                                                      \
    ;                                                                      \
    static const ::fw::MessageMap map = {&TheBase::GetThisMessageMap, entries}; \
    return &map;                                                           \
    }
