// The notice window against the sandbox: the decision, the three layouts at the corner of the
// work area, the visible and pause periods, dismissal, and what it writes to Statistic.ini.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/popinfo_win.h"
#include "framework/app_win.h"
#include "sandboxclient.h"
#include "web/datetext_win.h"

using dialogs::CPopInfoDlg;

namespace {

const wchar_t kNoticePath[] = L"/notice/wt-popinfo.txt";

void Pump(int rounds = 3) {
    MSG msg;
    for (int i = 0; i < rounds; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (fw::WalkPreTranslateFilters(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(20);
    }
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::wstring DayText(int offsetDays) {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart += static_cast<LONGLONG>(offsetDays) * 24 * 3600 * 10000000LL;
    ft = FILETIME{t.LowPart, t.HighPart};
    ::FileTimeToSystemTime(&ft, &st);
    wchar_t text[16];
    swprintf(text, 16, L"%04d-%02d-%02d", st.wYear, st.wMonth, st.wDay);
    return text;
}

class Notice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        main = ::CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    static void TearDownTestSuite() { ::DestroyWindow(main); }

    void SetUp() override {
        if (!sandbox::Control(L"/__sandbox/ping")) GTEST_SKIP() << "the sandbox server does not answer";
        ini = TempPath(L"notice_test_Statistic.ini");
        ::DeleteFileW(ini.c_str());
        CPopInfoDlg::ResetShownAgain();
    }

    // A notice window over the given notice text, once it has decided.
    std::unique_ptr<CPopInfoDlg> Open(const std::wstring& notice) {
        EXPECT_TRUE(sandbox::SetText(kNoticePath, notice));
        auto dlg = std::make_unique<CPopInfoDlg>(main);
        dlg->noticeAddress = sandbox::Base() + kNoticePath;
        dlg->statisticsFile = ini;
        dlg->pictureFile = TempPath(L"notice_test_PopWnd.jpg");
        EXPECT_TRUE(dlg->Create(main));
        for (int i = 0; i < 500 && !dlg->Decided(); ++i) Pump(1);
        Pump();
        EXPECT_TRUE(dlg->Decided());
        return dlg;
    }

    std::wstring Key(const wchar_t* key) {
        wchar_t text[1100] = {};
        ::GetPrivateProfileStringW(L"Tamsolo", key, L"(none)", text, 1100, ini.c_str());
        return text;
    }

    static std::wstring Record(const std::wstring& date, const std::wstring& text, const std::wstring& picture,
                               int repeat, const std::wstring& link = L"") {
        return L"9|" + date + L"|新服开启|" + link + L"|" + text + L"|" + picture + L"|" + std::to_wstring(repeat);
    }

    static HWND main;
    std::wstring ini;
};

HWND Notice::main = nullptr;

RECT WorkArea() {
    RECT r{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

RECT ChildRect(HWND parent, UINT id) {
    RECT r{};
    HWND child = ::GetDlgItem(parent, static_cast<int>(id));
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(Notice, EachLayoutAtTheCornerOfTheWorkArea) {
    const std::wstring picture = sandbox::Base() + L"/notice/wt-notice.jpg";
    struct Case {
        const char* what;
        std::wstring text, picture;
        tamsolo::NoticeLayout layout;
        int width, height;
        bool layered;
        RECT textRect;
    } cases[] = {
        {"picture and text", L"正文十个字正文十个字", picture, tamsolo::NoticeLayout::PictureAndText, 250, 191, false,
         {100, 68, 234, 81}},
        {"picture only", L"", picture, tamsolo::NoticeLayout::PictureOnly, 160, 212, true, {-3, 22, 160, 212}},
        {"text only", L"正文十个字正文十个字", L"", tamsolo::NoticeLayout::TextOnly, 250, 167, false, {18, 65, 234, 78}},
    };
    ASSERT_TRUE(sandbox::Set(L"/notice/wt-notice.jpg", L"mode=ok&file=" + sandbox::ServerPathBesideProgram(L"notice_test.jpg")));
    for (const Case& c : cases) {
        ::DeleteFileW(ini.c_str());
        auto dlg = Open(Record(DayText(0), c.text, c.picture, 0));
        ASSERT_TRUE(dlg->HasNotice()) << c.what;
        EXPECT_EQ(dlg->Layout(), c.layout) << c.what;
        RECT r{};
        ::GetWindowRect(dlg->m_hWnd, &r);
        const RECT work = WorkArea();
        EXPECT_EQ(r.right, work.right) << c.what;
        EXPECT_EQ(r.bottom, work.bottom) << c.what;
        EXPECT_EQ(r.right - r.left, c.width) << c.what;
        EXPECT_EQ(r.bottom - r.top, c.height) << c.what;
        EXPECT_TRUE(::IsWindowVisible(dlg->m_hWnd)) << c.what;
        const LONG_PTR ex = ::GetWindowLongPtrW(dlg->m_hWnd, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_TOPMOST) << c.what;
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << c.what;
        EXPECT_FALSE(ex & WS_EX_APPWINDOW) << c.what;
        EXPECT_EQ((ex & WS_EX_LAYERED) != 0, c.layered) << c.what;
        const RECT text = ChildRect(dlg->m_hWnd, dialogs::IDC_POP_TEXT);
        EXPECT_TRUE(::EqualRect(&text, &c.textRect)) << c.what << " " << text.left << "," << text.top << ","
                                                     << text.right << "," << text.bottom;
        EXPECT_EQ(::IsWindowVisible(::GetDlgItem(dlg->m_hWnd, dialogs::IDC_POP_TITLE)) != FALSE,
                  c.layout != tamsolo::NoticeLayout::PictureOnly)
            << c.what;
        EXPECT_EQ(::IsWindowVisible(::GetDlgItem(dlg->m_hWnd, dialogs::IDC_POP_PICTURE)) != FALSE,
                  c.layout == tamsolo::NoticeLayout::PictureAndText)
            << c.what;
        EXPECT_EQ(Key(L"PopEnable"), L"1") << c.what;
    }
}

// Anyone can post to a window. A ready message (WM_APP + 62) that arrives while the notice host
// is still silent neither holds this thread, which also runs the keyboard hook, nor decides
// anything; the worker's own message does.
TEST_F(Notice, OnlyTheWorkersReadyMessageDecides) {
    const std::wstring notice = Record(DayText(0), L"x", L"", 0);
    ASSERT_TRUE(sandbox::Set(kNoticePath, L"mode=stall&delay=2&charset=gbk&body=" + sandbox::Escape(notice)));
    CPopInfoDlg dlg(main);
    dlg.noticeAddress = sandbox::Base() + kNoticePath;
    dlg.statisticsFile = ini;
    dlg.pictureFile = TempPath(L"notice_test_PopWnd.jpg");
    ASSERT_TRUE(dlg.Create(main));
    ::SendMessageW(dlg.m_hWnd, WM_APP + 62, 0, 0);
    EXPECT_FALSE(dlg.Decided());
    for (int i = 0; i < 500 && !dlg.Decided(); ++i) Pump(1);
    EXPECT_TRUE(dlg.HasNotice());
    EXPECT_EQ(Key(L"PopInfo"), notice);
}

TEST_F(Notice, ShownUpToAndIncludingItsDay) {
    struct Case {
        std::wstring date;
        bool shown;
    } cases[] = {{DayText(0) + L" 23:59", true}, {DayText(-1), false}};
    for (const Case& c : cases) {
        ::DeleteFileW(ini.c_str());
        auto dlg = Open(Record(c.date, L"", L"", 0));
        EXPECT_EQ(dlg->HasNotice(), c.shown) << fw::ToUtf8(c.date);
        // No notice: the window has closed itself without appearing, and wrote nothing.
        EXPECT_EQ(dlg->m_hWnd != nullptr, c.shown) << fw::ToUtf8(c.date);
        EXPECT_EQ(Key(L"PopEnable"), c.shown ? L"1" : L"(none)") << fw::ToUtf8(c.date);
    }
}

TEST_F(Notice, VisiblePeriodsAndPausesAsOftenAsTheNoticeAsks) {
    // Repeat 0: one showing, then closed with the notice still enabled.
    auto once = Open(Record(DayText(0), L"x", L"", 0));
    ASSERT_TRUE(once->HasNotice());
    once->PostMessage(WM_TIMER, dialogs::kNoticeVisibleTimer);
    Pump();
    EXPECT_EQ(once->m_hWnd, nullptr);
    EXPECT_EQ(Key(L"PopEnable"), L"1");

    // Repeat 1: hidden for the pause, shown again, then closed.
    auto twice = Open(Record(DayText(0), L"y", L"", 1));
    ASSERT_TRUE(twice->HasNotice());
    twice->PostMessage(WM_TIMER, dialogs::kNoticeVisibleTimer);
    Pump();
    ASSERT_NE(twice->m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindowVisible(twice->m_hWnd));
    twice->PostMessage(WM_TIMER, dialogs::kNoticePauseTimer);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(twice->m_hWnd));
    EXPECT_EQ(CPopInfoDlg::ShownAgain(), 1);
    twice->PostMessage(WM_TIMER, dialogs::kNoticeVisibleTimer);
    Pump();
    EXPECT_EQ(twice->m_hWnd, nullptr);
    EXPECT_EQ(Key(L"PopEnable"), L"1");
}

TEST_F(Notice, DismissedByCloseUntilTheTextChanges) {
    const std::wstring text = Record(DayText(0), L"z", L"", 0);
    auto first = Open(text);
    ASSERT_TRUE(first->HasNotice());
    // The close caption button posts the close command.
    ::SendMessageW(first->m_hWnd, WM_COMMAND, MAKEWPARAM(tamsolo::ui::kCloseButtonId, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(first->m_hWnd, nullptr);
    EXPECT_EQ(Key(L"PopEnable"), L"0");
    EXPECT_EQ(Key(L"PopInfo"), text);

    EXPECT_FALSE(Open(text)->HasNotice());           // the next start: nothing
    // The operator changed it (a text that still holds the stored one counts as the same).
    EXPECT_FALSE(Open(L"1" + text)->HasNotice());
    EXPECT_TRUE(Open(Record(DayText(0), L"z2", L"", 0))->HasNotice());
    EXPECT_EQ(Key(L"PopEnable"), L"1");

    // Minimising closes without dismissing.
    auto minimised = Open(Record(DayText(0), L"z3", L"", 0));
    ASSERT_TRUE(minimised->HasNotice());
    minimised->PostMessage(WM_SYSCOMMAND, SC_MINIMIZE);
    Pump();
    EXPECT_EQ(minimised->m_hWnd, nullptr);
    EXPECT_EQ(Key(L"PopEnable"), L"1");
}

TEST_F(Notice, LineBreaksCannotAddKeysToTheStatisticsFile) {
    auto dlg = Open(Record(DayText(0), L"x", L"", 0) + L"\r\nPopEnable=1\r\nGame=999\r\n[Other]\nKey=1\rMore=2");
    ASSERT_TRUE(dlg->HasNotice());
    wchar_t names[512] = {};
    const DWORD n = ::GetPrivateProfileSectionNamesW(names, 512, ini.c_str());
    EXPECT_EQ(std::wstring(names, n), std::wstring(L"Tamsolo\0", 8));
    wchar_t keys[512] = {};
    const DWORD k = ::GetPrivateProfileStringW(L"Tamsolo", nullptr, L"", keys, 512, ini.c_str());
    EXPECT_EQ(std::wstring(keys, k), std::wstring(L"PopInfo\0PopEnable\0", 18));
    EXPECT_EQ(Key(L"PopInfo"), Record(DayText(0), L"x", L"", 0));
}

TEST_F(Notice, AClickDismissesAndOpensOnlyWebAddresses) {
    const std::wstring record = TempPath(L"tamsolo_hallsetup_ran.txt");
    ::DeleteFileW(record.c_str());
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self);
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"hallsetup.exe";
    for (UINT label : {dialogs::IDC_POP_TITLE, dialogs::IDC_POP_TEXT, dialogs::IDC_POP_LINK}) {
        ::DeleteFileW(ini.c_str());
        auto dlg = Open(Record(DayText(0), L"x", L"", 0, program));
        ASSERT_TRUE(dlg->HasNotice());
        ::SendMessageW(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(label, STN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dlg->m_hWnd, static_cast<int>(label))));
        Pump();
        EXPECT_EQ(dlg->m_hWnd, nullptr) << label;
        EXPECT_EQ(Key(L"PopEnable"), L"0") << label;
    }
    ::Sleep(1500);
    EXPECT_EQ(::GetFileAttributesW(record.c_str()), INVALID_FILE_ATTRIBUTES) << "the local program was started";
}
