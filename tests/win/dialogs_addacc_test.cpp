// The add-account pop-up on real windows: its size, its place under the label, its answers to
// the main window and its leaving without an answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/app_win.h"
#include "framework/handle_win.h"
#include "dialogs/addaccdlg_win.h"

namespace {

std::vector<WPARAM> g_answers;

LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_USER + 6) g_answers.push_back(w);
    return ::DefWindowProcW(wnd, msg, w, l);
}

// What the launcher's own loop does: pre-filters first, then dispatch.
void Pump() {
    MSG msg;
    for (int rounds = 0; rounds < 3; ++rounds) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (fw::WalkPreTranslateFilters(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(20);
    }
}

SIZE SizeOf(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

class AddAccount : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = MainWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TamsoloAddAccTestMain";
        ::RegisterClassW(&wc);
        main = ::CreateWindowExW(0, wc.lpszClassName, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 700, 400,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        other = ::CreateWindowExW(0, wc.lpszClassName, L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 460, 200, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        dlg = new dialogs::CAddAccDlg;
    }
    static void TearDownTestSuite() {
        delete dlg;
        ::DestroyWindow(other);
        ::DestroyWindow(main);
    }
    void SetUp() override { g_answers.clear(); }

    // Shows the pop-up under a label at (x, y) of 92 x 16 pixels and waits until it is active.
    static void ShowUnderLabelAt(int x, int y) {
        RECT label{x, y, x + 92, y + 16};
        dlg->ShowUnder(main, label);
        ::SetForegroundWindow(dlg->m_hWnd);
        ::SetActiveWindow(dlg->m_hWnd);
        Pump();
    }

    static HWND main;
    static HWND other;
    static dialogs::CAddAccDlg* dlg;
};

HWND AddAccount::main = nullptr;
HWND AddAccount::other = nullptr;
dialogs::CAddAccDlg* AddAccount::dlg = nullptr;

}  // namespace

TEST_F(AddAccount, DropsDownUnderTheLabelAtTheSkinsSize) {
    ShowUnderLabelAt(400, 57);
    ASSERT_NE(dlg->m_hWnd, nullptr);
    const HWND first = dlg->m_hWnd;
    RECT r{};
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.right, 492);  // right edge on the label's right edge
    EXPECT_EQ(r.top, 73);     // top on the label's bottom
    EXPECT_EQ(SizeOf(dlg->m_hWnd).cx, 284);
    EXPECT_EQ(SizeOf(dlg->m_hWnd).cy, 150);
    EXPECT_TRUE(::IsWindowVisible(dlg->m_hWnd));
    EXPECT_EQ(::GetWindow(dlg->m_hWnd, GW_OWNER), main);

    for (int id : {IDOK, IDCANCEL}) {
        const SIZE button = SizeOf(::GetDlgItem(dlg->m_hWnd, id));
        EXPECT_EQ(button.cx, 57) << id;
        EXPECT_EQ(button.cy, 23) << id;
    }
    wchar_t text[128] = {};
    ::GetDlgItemTextW(dlg->m_hWnd, dialogs::IDC_ADDACC_QUESTION, text, 128);
    EXPECT_STREQ(text, L"在当前窗口新增标签页？\r\n点击\"是\"，在当前窗口登录(支持3个标签页)；\r\n点击\"否\"，在新窗口中登录。");

    // Cut from the skin's magenta corners; never draggable by its title band.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(::GetWindowRgn(dlg->m_hWnd, region), ERROR);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_TRUE(::PtInRegion(region, 142, 75));
    ::DeleteObject(region);
    EXPECT_EQ(dlg->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 100, r.top + 10)), HTCLIENT);

    // Shown again elsewhere while visible: the same window moves.
    ShowUnderLabelAt(300, 100);
    EXPECT_EQ(dlg->m_hWnd, first);
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.left, 392 - 284);
    EXPECT_EQ(r.top, 116);
    EXPECT_TRUE(::IsWindowVisible(dlg->m_hWnd));
    dlg->Hide();
    EXPECT_FALSE(::IsWindowVisible(dlg->m_hWnd));
    EXPECT_TRUE(g_answers.empty());
}

TEST_F(AddAccount, AnswersGoToTheMainWindowAndHideThePopup) {
    struct Case {
        UINT message;
        WPARAM w;
        WPARAM answer;
    } cases[] = {
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 1},      // "是"
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0},  // "否"
        {WM_KEYDOWN, VK_RETURN, 1},
        {WM_KEYDOWN, VK_ESCAPE, 0},
    };
    for (const Case& c : cases) {
        g_answers.clear();
        ShowUnderLabelAt(400, 57);
        ASSERT_TRUE(::IsWindowVisible(dlg->m_hWnd));
        const HWND target = c.message == WM_KEYDOWN ? ::GetDlgItem(dlg->m_hWnd, IDOK) : dlg->m_hWnd;
        if (c.message == WM_KEYDOWN) ::SetFocus(target);
        ::PostMessageW(target, c.message, c.w, 0);
        Pump();
        EXPECT_EQ(g_answers, std::vector<WPARAM>{c.answer}) << c.message << " " << c.w;
        EXPECT_FALSE(::IsWindowVisible(dlg->m_hWnd));
    }
}

TEST_F(AddAccount, LosingActivationHidesWithoutAnAnswer) {
    ShowUnderLabelAt(400, 57);
    ASSERT_EQ(::GetActiveWindow(), dlg->m_hWnd);
    ::SetForegroundWindow(other);
    ::SetActiveWindow(other);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(dlg->m_hWnd));
    EXPECT_TRUE(g_answers.empty());
}
