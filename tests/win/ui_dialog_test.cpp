// Dialogs from templates and the framework's modal loop, on real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/dialog_win.h"
#include "framework/handle_win.h"

namespace {

constexpr UINT kBareTemplate = 130;
constexpr UINT kMsgEnd = WM_USER + 10;
constexpr UINT kMsgFiltered = WM_USER + 11;
constexpr UINT kMsgFromChild = WM_USER + 12;

class CProbeDlg : public fw::CDialog {
public:
    explicit CProbeDlg(HWND parent = nullptr) : fw::CDialog(kBareTemplate, parent) {}

    std::vector<std::string> log;
    std::vector<UINT> toPost;  // posted to the dialog from its initialisation, in order
    bool okDoesNothing = false;
    HWND child = nullptr;
    bool ownerDisabledWhileRunning = false;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == kMsgFiltered) {
            log.push_back("filtered");
            return TRUE;
        }
        if (msg->message == kMsgFromChild) log.push_back("filter-saw-child");
        return fw::CDialog::PreTranslateMessage(msg);
    }

protected:
    BOOL OnInitDialog() override {
        log.push_back("init");
        child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_hWnd, nullptr,
                                  nullptr, nullptr);
        if (m_parent) ownerDisabledWhileRunning = !::IsWindowEnabled(m_parent);
        for (UINT m : toPost) {
            if (m == kMsgFromChild) {
                ::PostMessageW(child, m, 0, 0);
            } else if (m == WM_KEYDOWN + 0x10000) {
                ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
            } else if (m == WM_KEYDOWN + 0x20000) {
                ::PostMessageW(m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
            } else {
                ::PostMessageW(m_hWnd, m, 0, 0);
            }
        }
        return TRUE;
    }
    void OnOK() override {
        log.push_back("ok");
        if (!okDoesNothing) fw::CDialog::OnOK();
    }
    LRESULT OnEnd(WPARAM, LPARAM) {
        log.push_back("end");
        if (m_parent) ownerDisabledWhileRunning = ownerDisabledWhileRunning && !::IsWindowEnabled(m_parent);
        EndDialog(42);
        return 0;
    }
    LRESULT OnFiltered(WPARAM, LPARAM) {
        log.push_back("dispatched");
        return 0;
    }
    FW_DECLARE_MESSAGE_MAP()
};

FW_BEGIN_MESSAGE_MAP(CProbeDlg, fw::CDialog)
FW_ON_MESSAGE(kMsgEnd, OnEnd)
FW_ON_MESSAGE(kMsgFiltered, OnFiltered)
FW_END_MESSAGE_MAP()

constexpr UINT kEnterKey = WM_KEYDOWN + 0x10000;
constexpr UINT kEscKey = WM_KEYDOWN + 0x20000;

}  // namespace

TEST(ModalDialog, PreFiltersRunBeforeDispatchAndEndDialogGivesTheResult) {
    CProbeDlg dlg;
    dlg.toPost = {kMsgFiltered, kMsgFromChild, kMsgEnd};
    EXPECT_EQ(dlg.DoModal(), 42);
    // The filter swallowed its message, so the handler never ran; the child's message walked
    // up to the dialog's filter.
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"init", "filtered", "filter-saw-child", "end"}));
    EXPECT_EQ(dlg.m_hWnd, nullptr);  // destroyed when the loop ended
}

TEST(ModalDialog, EnterAndEscReachOkAndCancel) {
    CProbeDlg enter;
    enter.toPost = {kEnterKey};
    EXPECT_EQ(enter.DoModal(), IDOK);

    CProbeDlg esc;
    esc.toPost = {kEscKey};
    EXPECT_EQ(esc.DoModal(), IDCANCEL);

    // An empty OK keeps the dialog open on Enter.
    CProbeDlg ignoring;
    ignoring.okDoesNothing = true;
    ignoring.toPost = {kEnterKey, kMsgEnd};
    EXPECT_EQ(ignoring.DoModal(), 42);
    EXPECT_EQ(ignoring.log, (std::vector<std::string>{"init", "ok", "end"}));
}

TEST(ModalDialog, OwnerIsDisabledWhileRunningAndEnabledAfter) {
    fw::Window owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr));
    ASSERT_TRUE(owner);
    CProbeDlg dlg(owner.Get());
    dlg.toPost = {kMsgEnd};
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(dlg.ownerDisabledWhileRunning);
    EXPECT_TRUE(::IsWindowEnabled(owner.Get()));
}

TEST(ModalDialog, QuitEndsTheLoopAndReachesTheOuterLoop) {
    CProbeDlg dlg;
    dlg.toPost = {};
    ::PostQuitMessage(7);
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(ModelessDialog, CreatesAndHidesOnEnd) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"init"}));
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    dlg.EndDialog(IDOK);
    EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
    EXPECT_TRUE(dlg.DestroyWindow());
}
