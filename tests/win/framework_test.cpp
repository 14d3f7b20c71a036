// The window framework: message tables, command routing, subclassing, the pre-filter walk
// and the handle owners, exercised on real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/app_win.h"
#include "framework/handle_win.h"
#include "framework/wnd_win.h"

namespace {

class CBaseWnd : public fw::CWnd {
public:
    std::vector<std::string> log;

protected:
    LRESULT OnUser1(WPARAM w, LPARAM) {
        log.push_back("base-user1:" + std::to_string(w));
        return 11;
    }
    LRESULT OnUser2(WPARAM, LPARAM) {
        log.push_back("base-user2");
        return 12;
    }
    void OnOk() { log.push_back("base-ok"); }
    FW_DECLARE_MESSAGE_MAP()
};

FW_BEGIN_MESSAGE_MAP(CBaseWnd, fw::CWnd)
FW_ON_MESSAGE(WM_USER + 1, OnUser1)
FW_ON_MESSAGE(WM_USER + 2, OnUser2)
FW_ON_COMMAND(IDOK, OnOk)
FW_END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    bool destroyedAfterLastMessage = false;

protected:
    LRESULT OnUser2Derived(WPARAM, LPARAM) {
        log.push_back("derived-user2");
        return 22;
    }
    LRESULT OnSetText(WPARAM, LPARAM) {
        log.push_back("settext");
        return Default();  // the text must still be stored by the default procedure
    }
    void OnRange() { log.push_back("range"); }
    void OnChange() { log.push_back("en-change"); }
    void PostNcDestroy() override { destroyedAfterLastMessage = m_hWnd == nullptr; }
    FW_DECLARE_MESSAGE_MAP()
};

FW_BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
FW_ON_MESSAGE(WM_USER + 2, OnUser2Derived)
FW_ON_MESSAGE(WM_SETTEXT, OnSetText)
FW_ON_COMMAND_RANGE(100, 110, OnRange)
FW_ON_CONTROL(EN_CHANGE, 200, OnChange)
FW_END_MESSAGE_MAP()

TEST(MessageTables, DerivedEntriesWinAndBaseEntriesAreInherited) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_EQ(fw::CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 1, 7), 11);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 2), 22);
    // Unknown messages reach the default procedure.
    EXPECT_EQ(wnd.SendMessage(WM_USER + 3), 0);
    ::SetWindowTextW(wnd.m_hWnd, L"标题");
    wchar_t text[16] = {};
    ::GetWindowTextW(wnd.m_hWnd, text, 16);
    EXPECT_STREQ(text, L"标题");
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"base-user1:7", "derived-user2", "settext"}));
}

TEST(MessageTables, CommandsRouteByIdRangeAndNotificationCode) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(105, 1));      // accelerator
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(111, 0));      // outside the range
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(200, EN_CHANGE));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(200, EN_SETFOCUS));  // other code: not routed
    // Code 1 from a control is its own notification (a list's or combo's selection change),
    // never a click.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(106, LBN_SELCHANGE), reinterpret_cast<LPARAM>(wnd.m_hWnd));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, CBN_SELCHANGE), reinterpret_cast<LPARAM>(wnd.m_hWnd));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(107, BN_CLICKED), reinterpret_cast<LPARAM>(wnd.m_hWnd));
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"base-ok", "range", "en-change", "range"}));
}

TEST(MessageTables, DestroyingDetachesBeforePostNcDestroy) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    HWND h = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(wnd.destroyedAfterLastMessage);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(fw::CWnd::FromHandlePermanent(h), nullptr);
}

// What a plain child window finds of its framework parent while it is being destroyed.
struct ParentSeenWhileDying {
    bool asked = false;
    bool found = false;
    bool whole = false;  // what was found is still the object it was made as
};
ParentSeenWhileDying g_parentSeen;

LRESULT CALLBACK ReportParentOnDestroy(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) {
        fw::CWnd* parent = fw::CWnd::FromHandlePermanent(::GetParent(wnd));
        g_parentSeen.asked = true;
        g_parentSeen.found = parent != nullptr;
        g_parentSeen.whole = parent && dynamic_cast<CDerivedWnd*>(parent) != nullptr;
        // Whatever the destruction sends the parent must not land in the dying object.
        ::SendMessageW(::GetParent(wnd), WM_USER + 2, 0, 0);
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

TEST(MessageTables, ObjectGoingAwayTakesItsWindowAlongWithoutHearingIt) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ReportParentOnDestroy;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ReportParentOnDestroy";
    ::RegisterClassW(&wc);
    g_parentSeen = {};
    HWND h = nullptr;
    {
        CDerivedWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
        ASSERT_NE(::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, wnd.m_hWnd, nullptr,
                                    wc.hInstance, nullptr),
                  nullptr);
        h = wnd.m_hWnd;
        wnd.log.clear();
    }
    EXPECT_FALSE(::IsWindow(h));
    ASSERT_TRUE(g_parentSeen.asked);
    // Found at all, it would have been a CWnd whose derived parts were already gone.
    EXPECT_FALSE(g_parentSeen.found && !g_parentSeen.whole);
}

class CCountingButton : public fw::CWnd {
public:
    int clicks = 0;
    int paints = 0;

protected:
    LRESULT OnLButtonUp(WPARAM, LPARAM) {
        ++clicks;
        return Default();
    }
    LRESULT OnUser9(WPARAM, LPARAM) {
        ++paints;
        return 9;
    }
    FW_DECLARE_MESSAGE_MAP()
};

FW_BEGIN_MESSAGE_MAP(CCountingButton, fw::CWnd)
FW_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
FW_ON_MESSAGE(WM_USER + 9, OnUser9)
FW_END_MESSAGE_MAP()

TEST(Subclassing, ControlOfAParentIsBoundAndReleased) {
    CBaseWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"p", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr));
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 50, 20,
                                    parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    CCountingButton bound;
    ASSERT_TRUE(bound.SubclassDlgItem(IDOK, &parent));
    EXPECT_FALSE(bound.SubclassDlgItem(IDOK, &parent)) << "a window is bound to one object only";
    EXPECT_EQ(::SendMessageW(button, WM_USER + 9, 0, 0), 9);
    // The original procedure still does its work: a press and release clicks the button,
    // and the click reaches the parent's command table.
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(bound.clicks, 1);
    EXPECT_EQ(parent.log, std::vector<std::string>{"base-ok"});
    EXPECT_EQ(bound.UnsubclassWindow(), button);
    EXPECT_EQ(::SendMessageW(button, WM_USER + 9, 0, 0), 0);
    EXPECT_EQ(bound.paints, 1);
    EXPECT_TRUE(::IsWindow(button));
}

class CFilterWnd : public CBaseWnd {
public:
    UINT consume = 0;
    int seen = 0;
    BOOL PreTranslateMessage(MSG* msg) override {
        ++seen;
        return msg->message == consume;
    }
};

TEST(PreFilters, AncestorsSeeAChildsMessageInnermostFirst) {
    CFilterWnd outer;
    ASSERT_TRUE(outer.CreateEx(0, L"o", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr));
    CFilterWnd inner;
    ASSERT_TRUE(inner.CreateEx(0, L"i", WS_CHILD, 0, 0, 50, 50, outer.m_hWnd, nullptr));
    outer.consume = WM_KEYDOWN;
    MSG msg{inner.m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_TRUE(fw::WalkPreTranslateFilters(&msg));
    EXPECT_EQ(inner.seen, 1);
    EXPECT_EQ(outer.seen, 1);
    inner.consume = WM_KEYDOWN;
    EXPECT_TRUE(fw::WalkPreTranslateFilters(&msg));
    EXPECT_EQ(inner.seen, 2);
    EXPECT_EQ(outer.seen, 1) << "the inner filter consumed it";
    msg.message = WM_CHAR;
    EXPECT_FALSE(fw::WalkPreTranslateFilters(&msg));
    EXPECT_EQ(outer.seen, 2);
}

// foreignwnd.exe beside this program: another process's top window and its child, both
// carrying the framework's property with a junk pointer.
class ForeignWindows {
public:
    bool Start() {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring command = path;
        command = L"\"" + command.substr(0, command.find_last_of(L'\\') + 1) + L"foreignwnd.exe\" 30";
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
        fw::Handle reader(readEnd), writer(writeEnd);
        ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = writeEnd;
        si.hStdError = writeEnd;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            return false;
        }
        process_.Reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
        writer.Reset();
        std::string line;
        char c = 0;
        DWORD got = 0;
        while (line.size() < 64 && ::ReadFile(reader.Get(), &c, 1, &got, nullptr) && got == 1 && c != '\n') line += c;
        long long t = 0, ch = 0;
        if (std::sscanf(line.c_str(), "%lld %lld", &t, &ch) != 2) return false;
        top = reinterpret_cast<HWND>(static_cast<INT_PTR>(t));
        child = reinterpret_cast<HWND>(static_cast<INT_PTR>(ch));
        return ::IsWindow(top) && ::IsWindow(child);
    }
    ~ForeignWindows() {
        if (!process_) return;
        if (top) ::PostMessageW(top, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0) ::TerminateProcess(process_.Get(), 1);
    }

    HWND top = nullptr;
    HWND child = nullptr;

private:
    fw::Handle process_;
};

TEST(ForeignWindows, AreNeverTakenForOursWhateverTheyCarry) {
    ForeignWindows foreign;
    ASSERT_TRUE(foreign.Start());
    ASSERT_NE(::GetPropW(foreign.top, L"Tamsolo.CWnd"), nullptr) << "the junk must be there to be found";
    ASSERT_EQ(fw::CWnd::FromHandlePermanent(foreign.top), nullptr);
    ASSERT_EQ(fw::CWnd::FromHandlePermanent(foreign.child), nullptr);

    // Our window inside theirs, as a page frame inside the main window: the filter walk goes
    // up into their window and must stop short of calling it.
    CFilterWnd ours;
    ASSERT_TRUE(ours.CreateEx(0, L"ours", WS_CHILD, 0, 0, 50, 50, foreign.top, nullptr));
    ASSERT_EQ(::GetParent(ours.m_hWnd), foreign.top);
    MSG msg{ours.m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_FALSE(fw::WalkPreTranslateFilters(&msg));
    EXPECT_EQ(ours.seen, 1);

    // Their window inside ours, as the main window holds a page frame: a notification naming
    // it is not offered to it, and it cannot be taken over.
    CFilterWnd host;
    ASSERT_TRUE(host.CreateEx(0, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr));
    ASSERT_NE(::SetParent(foreign.child, host.m_hWnd), nullptr);
    fw::WindowDc dc(host.m_hWnd);
    EXPECT_EQ(host.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                               reinterpret_cast<LPARAM>(foreign.child)),
              ::DefWindowProcW(host.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                               reinterpret_cast<LPARAM>(foreign.child)));
    MSG theirs{foreign.child, WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_FALSE(fw::WalkPreTranslateFilters(&theirs));
    EXPECT_EQ(host.seen, 1) << "our own ancestor still filters";
    CCountingButton takeover;
    EXPECT_FALSE(takeover.SubclassWindow(foreign.child));
    ::SetParent(foreign.child, foreign.top);
}

TEST(HandleOwners, CloseOnScopeExitAndMoveOwnership) {
    HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    DWORD flags = 0;
    {
        fw::Handle a(raw);
        fw::Handle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    }
    EXPECT_FALSE(::GetHandleInformation(raw, &flags)) << "closed when its owner went away";
    fw::Handle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);

    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        fw::Brush owner(brush);
        EXPECT_NE(::GetObjectType(brush), 0u);
    }
    EXPECT_EQ(::GetObjectType(brush), 0u);

    fw::RegKey key;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
    HKEY released = key.Release();
    EXPECT_FALSE(key);
    ::RegCloseKey(released);
}

}  // namespace
