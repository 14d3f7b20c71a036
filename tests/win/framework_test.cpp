// The window framework: message tables, command routing, subclassing, the pre-filter walk
// and the handle owners, exercised on real windows.
#include <windows.h>

#include <gtest/gtest.h>

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
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"base-ok", "range", "en-change"}));
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

TEST(MessageTables, ObjectGoingAwayTakesItsWindowAlong) {
    HWND h = nullptr;
    {
        CBaseWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
        h = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(h));
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
