// The game-hall download dialog against the sandbox: a full run that starts the test
// installer, the failures the title reports, Esc, and cancel in the middle of a download.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dialogs/downgamedlg_win.h"
#include "sandboxclient.h"
#include "ui/staticex_win.h"
#include "framework/paths_win.h"

using dialogs::CDownGameDlg;

namespace {

constexpr UINT_PTR kWatchTimer = 77;
const wchar_t kHall[] = L"WtNtcHall";  // config /update/ConfigWtNtcHall.htm

// What the dialog shows at one moment.
struct Seen {
    std::wstring title;
    bool okEnabled = false;
    bool cancelEnabled = false;
    int position = 0;
    std::wstring label;
};

// Runs the dialog modally and calls `step` every 100 ms with what it shows; the step acts on
// the dialog and returns false once it has done so. After 30 s the dialog is ended with -2.
class CWatchedDownGameDlg : public CDownGameDlg {
public:
    using Step = std::function<bool(CWatchedDownGameDlg&, const Seen&)>;
    CWatchedDownGameDlg(const std::wstring& id, Step step) : CDownGameDlg(id, nullptr), step_(std::move(step)) {}

    Seen Look() const {
        Seen s;
        wchar_t text[128] = {};
        ::GetWindowTextW(m_hWnd, text, 128);
        s.title = text;
        s.okEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK)) != FALSE;
        s.cancelEnabled = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDCANCEL)) != FALSE;
        s.position = static_cast<int>(::SendDlgItemMessageW(m_hWnd, dialogs::IDC_DOWNGAME_BAR, PBM_GETPOS, 0, 0));
        auto* label = static_cast<tamsolo::ui::CStaticEx*>(
            fw::CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, dialogs::IDC_DOWNGAME_LABEL)));
        if (label) s.label = label->text;
        return s;
    }
    Seen last;
    int ticks = 0;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CDownGameDlg::OnInitDialog();
        ::SetTimer(m_hWnd, kWatchTimer, 100, nullptr);
        return r;
    }
    LRESULT OnWatch(WPARAM id, LPARAM) {
        if (id != kWatchTimer) return Default();
        last = Look();
        if (++ticks > 300) {
            ::KillTimer(m_hWnd, kWatchTimer);
            EndDialog(-2);  // took too long
        } else if (!step_(*this, last)) {
            ::KillTimer(m_hWnd, kWatchTimer);
        }
        return 0;
    }
    FW_DECLARE_MESSAGE_MAP()

private:
    Step step_;
};

FW_BEGIN_MESSAGE_MAP(CWatchedDownGameDlg, CDownGameDlg)
FW_ON_MESSAGE(WM_TIMER, OnWatch)
FW_END_MESSAGE_MAP()

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::wstring& path) {
    fw::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string data;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

class GameHallDownload : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sandbox::Control(L"/__sandbox/ping")) GTEST_SKIP() << "the sandbox server does not answer";
        record = TempPath(L"tamsolo_hallsetup_ran.txt");
        ::DeleteFileW(record.c_str());
        installer = TempPath((std::wstring(kHall) + L".exe").c_str());
        ::DeleteFileW(installer.c_str());
    }

    // The hall's configuration names this download address.
    static void Configure(const std::wstring& download) {
        ASSERT_TRUE(sandbox::SetText(std::wstring(L"/update/Config") + kHall + L".htm",
                                     L"[VerKey]\r\nUpdAddr=" + download + L"\r\n"));
    }
    static std::wstring SetupAddress() { return sandbox::Base() + L"/hall/WtNtcHallSetup.exe"; }
    static void ServeInstaller(const std::wstring& mode) {
        ASSERT_TRUE(sandbox::Set(L"/hall/WtNtcHallSetup.exe",
                                 mode + L"&file=" + sandbox::ServerPathBesideProgram(L"hallsetup.exe")));
    }
    // Waits until the dialog shows one of the result titles, then lets the step act on it.
    static CWatchedDownGameDlg::Step UntilTitle(const std::wstring& title,
                                                std::function<void(CWatchedDownGameDlg&)> act = nullptr) {
        return [title, act](CWatchedDownGameDlg& dlg, const Seen& seen) {
            if (seen.title != title) return true;
            if (act) act(dlg);
            return false;
        };
    }

    std::wstring record;
    std::wstring installer;
};

}  // namespace

TEST_F(GameHallDownload, DownloadsStartsTheInstallerAndReportsDone) {
    Configure(SetupAddress());
    ServeInstaller(L"mode=ok");
    CWatchedDownGameDlg dlg(kHall, UntilTitle(L"下载完成", [](CWatchedDownGameDlg& d) {
                                d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                            }));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.last.title, L"下载完成");
    EXPECT_EQ(dlg.last.position, 100);
    EXPECT_EQ(dlg.last.label, L"已加载  100%");
    EXPECT_TRUE(dlg.last.okEnabled);
    EXPECT_FALSE(dlg.last.cancelEnabled);
    EXPECT_EQ(dlg.InstallerPath(), installer);
    for (int i = 0; i < 50 && !Exists(record); ++i) ::Sleep(100);
    // Started with its path as one quoted argument.
    EXPECT_EQ(ReadAll(record), fw::ToUtf8(L"\"" + installer + L"\"\r\n"));
    const std::wstring config = fw::UserStateFile(std::wstring(kHall) + L".ini");
    ASSERT_FALSE(config.empty());
    EXPECT_FALSE(Exists(config));  // read and removed
}

TEST_F(GameHallDownload, FailuresShowInTheTitleAndStartNothing) {
    const std::wstring port = sandbox::Base().substr(sandbox::Base().rfind(L':'));
    struct Case {
        const char* what;
        std::wstring configMode;  // empty: the configuration names `download`
        std::wstring download;
        std::wstring installerMode;
        bool okEnabled;  // a failed configuration leaves OK disabled
    } cases[] = {
        {"configuration missing", L"mode=404", L"", L"mode=ok", false},
        {"no download address", L"", L"", L"mode=ok", true},
        {"address outside the permitted hosts", L"", L"http://127.0.0.2" + port + L"/hall/WtNtcHallSetup.exe?127.0.0.1",
         L"mode=ok", true},
        {"body shorter than announced", L"", SetupAddress(), L"mode=short", true},
        {"installer missing", L"", SetupAddress(), L"mode=404", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sandbox::Control(L"/__sandbox/reset"));
        if (c.configMode.empty()) {
            Configure(c.download);
        } else {
            ASSERT_TRUE(sandbox::Set(std::wstring(L"/update/Config") + kHall + L".htm", c.configMode));
        }
        ServeInstaller(c.installerMode);
        // The close button ends it in every case.
        CWatchedDownGameDlg dlg(kHall, UntilTitle(L"下载失败", [](CWatchedDownGameDlg& d) {
                                    d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
                                }));
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.what;
        EXPECT_EQ(dlg.last.title, L"下载失败") << c.what;
        EXPECT_EQ(dlg.last.okEnabled, c.okEnabled) << c.what;
        EXPECT_EQ(dlg.last.cancelEnabled, !c.okEnabled) << c.what;
        EXPECT_FALSE(dlg.WorkerRunning()) << c.what;
        const std::string requests = sandbox::Requests();
        const bool asked = requests.find("/hall/WtNtcHallSetup.exe") != std::string::npos;
        EXPECT_EQ(asked, c.download == SetupAddress()) << c.what << " " << requests;
        EXPECT_FALSE(Exists(installer)) << c.what;  // a partial file is removed
    }
    ::Sleep(1000);
    EXPECT_FALSE(Exists(record)) << "an installer was started";
}

TEST_F(GameHallDownload, EscIsIgnoredAndCancelEndsASlowDownloadAtOnce) {
    Configure(SetupAddress());
    ServeInstaller(L"mode=slow&delay=0.5");
    DWORD cancelledAt = 0;
    int escapes = 0;
    CWatchedDownGameDlg dlg(kHall, [&](CWatchedDownGameDlg& d, const Seen& seen) {
        if (seen.position == 0) return true;
        if (escapes < 2) {
            // Esc to the dialog and to the focused button: nothing happens.
            const HWND target = escapes == 0 ? d.m_hWnd : ::GetDlgItem(d.m_hWnd, IDCANCEL);
            ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0);
            ++escapes;
            return true;
        }
        EXPECT_EQ(seen.title, L"游戏下载中...");
        EXPECT_FALSE(seen.okEnabled);
        EXPECT_LT(seen.position, 100);
        cancelledAt = ::GetTickCount();
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return false;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(escapes, 2);
    ASSERT_NE(cancelledAt, 0u);
    EXPECT_LT(::GetTickCount() - cancelledAt, 2000u);
    EXPECT_FALSE(dlg.WorkerRunning());
    // The stopped worker removed its partial installer, and nothing holds that name: it can be
    // written exclusively and deleted again. Nothing was started.
    EXPECT_FALSE(Exists(installer));
    fw::Handle again(::CreateFileW(installer.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(again);
    again.Reset();
    EXPECT_TRUE(::DeleteFileW(installer.c_str()));
    ::Sleep(1000);
    EXPECT_FALSE(Exists(record));
}

TEST_F(GameHallDownload, WithoutAUsableIdNothingIsFetched) {
    for (const std::wstring& id : {std::wstring(), std::wstring(L"..\\x"), std::wstring(L"a b")}) {
        ASSERT_TRUE(sandbox::Control(L"/__sandbox/reset"));
        CWatchedDownGameDlg dlg(id, [](CWatchedDownGameDlg& d, const Seen&) {
            d.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return false;
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.last.title, L"下载失败");
        EXPECT_TRUE(dlg.last.okEnabled);
        EXPECT_TRUE(dlg.last.cancelEnabled);
        EXPECT_EQ(dlg.last.label, L"已加载 %100");  // the template's text
        EXPECT_EQ(sandbox::Requests(), "[]");
    }
}
