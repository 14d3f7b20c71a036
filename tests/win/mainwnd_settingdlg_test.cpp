// The hotkey settings dialog on real windows: key messages through its pre-filter, the
// conflict refusal, the saved statistics file and the reload message to the main windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/handle_win.h"
#include "mainwnd/settingdlg_win.h"
#include "web/localfiles_win.h"

namespace {

constexpr UINT kMsgStep = WM_APP + 70;

std::wstring IniPath() {
    std::wstring path;
    web::PathBesideProgram(L"Statistic.ini", &path);
    return path;
}

std::wstring IniValue(const wchar_t* key) {
    wchar_t text[64] = {};
    ::GetPrivateProfileStringW(L"Tamsolo", key, L"(none)", text, 64, IniPath().c_str());
    return text;
}

std::wstring TextOf(HWND wnd) {
    wchar_t text[128] = {};
    ::GetWindowTextW(wnd, text, 128);
    return text;
}

// A visible window of this thread owned by owner (the message box a dialog opened).
HWND OwnedWindow(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND wnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (::GetWindow(wnd, GW_OWNER) != s->owner || !::IsWindowVisible(wnd)) return TRUE;
            s->found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Sets Ctrl, Shift and Alt as this thread's key state sees them.
void HoldModifiers(bool ctrl, bool shift, bool alt) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    auto set = [&keys](int vk, bool down) { keys[vk] = down ? 0x80 : 0; };
    set(VK_CONTROL, ctrl);
    set(VK_LCONTROL, ctrl);
    set(VK_SHIFT, shift);
    set(VK_LSHIFT, shift);
    set(VK_MENU, alt);
    set(VK_LMENU, alt);
    ::SetKeyboardState(keys);
}

// A settings dialog that runs a script once it is up: one step per posted message, so the
// key messages a step posts pass the modal loop (and so the pre-filter) before the next step.
class CScriptedSettingDlg : public mainwnd::CSettingDlg {
public:
    using Step = std::function<void(CScriptedSettingDlg&)>;
    explicit CScriptedSettingDlg(std::vector<Step> steps) : CSettingDlg(nullptr), steps_(std::move(steps)) {}

    HWND Edit(UINT id) const { return ::GetDlgItem(m_hWnd, static_cast<int>(id)); }
    HWND Hwnd() const { return m_hWnd; }
    void PostKey(UINT id, UINT message, int vk) { ::PostMessageW(Edit(id), message, static_cast<WPARAM>(vk), 1); }
    void Press(UINT buttonId) { PostMessage(WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CSettingDlg::OnInitDialog();
        PostMessage(kMsgStep);
        return r;
    }
    LRESULT OnStep(WPARAM, LPARAM) {
        if (next_ < steps_.size()) {
            steps_[next_++](*this);
            PostMessage(kMsgStep);
        }
        return 0;
    }
    FW_DECLARE_MESSAGE_MAP()

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
};

FW_BEGIN_MESSAGE_MAP(CScriptedSettingDlg, mainwnd::CSettingDlg)
FW_ON_MESSAGE(kMsgStep, OnStep)
FW_END_MESSAGE_MAP()

// Stand-ins for launcher main windows: top-level windows that count WM_USER+4.
int g_reloads[16];
HWND g_fakes[16];

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    for (int i = 0; i < 16; ++i) {
        if (g_fakes[i] == wnd && msg == WM_USER + 4) ++g_reloads[i];
    }
    return ::DefWindowProcW(wnd, msg, w, l);
}

class SettingDlg : public ::testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileW(IniPath().c_str());
        HoldModifiers(false, false, false);
    }
    void TearDown() override {
        ::DeleteFileW(IniPath().c_str());
        HoldModifiers(false, false, false);
    }
};

}  // namespace

TEST_F(SettingDlg, KeysPressedInTheFieldsShowAsBindingTexts) {
    using mainwnd::IDC_BOSS_EDIT;
    using mainwnd::IDC_SOUND_EDIT;
    using mainwnd::IDC_SWITCH_EDIT;
    enum Mod { None = 0, Ctrl = 1, Shift = 2, Alt = 4 };
    struct Case {
        UINT edit;
        UINT message;
        int vk;
        int held;
        std::wstring expected;
    } cases[] = {
        {IDC_BOSS_EDIT, WM_KEYDOWN, VK_BACK, None, L"无"},
        {IDC_BOSS_EDIT, WM_KEYDOWN, VK_CONTROL, Ctrl, L"Ctrl  +  "},
        {IDC_BOSS_EDIT, WM_KEYDOWN, 'Q', Ctrl, L"Ctrl  +  Q"},
        {IDC_BOSS_EDIT, WM_KEYDOWN, VK_TAB, Ctrl, L"Ctrl  +  "},
        {IDC_SWITCH_EDIT, WM_KEYDOWN, VK_TAB, Ctrl, L"Ctrl  +  Tab"},
        {IDC_SWITCH_EDIT, WM_KEYDOWN, VK_F12, Shift, L"Shift  +  "},
        {IDC_SOUND_EDIT, WM_KEYDOWN, VK_F12, Ctrl, L"无"},
        {IDC_SOUND_EDIT, WM_SYSKEYDOWN, VK_MENU, Alt, L"Alt  +  "},
        {IDC_SOUND_EDIT, WM_SYSKEYDOWN, VK_F10, Alt, L"Alt  +  F10"},
        {IDC_SOUND_EDIT, WM_SYSKEYDOWN, 'Q', Alt, L"Alt  +  F10"},  // Alt + Q is not captured
        {IDC_SOUND_EDIT, WM_KEYDOWN, VK_ESCAPE, None, L"Alt  +  F10"},
        {IDC_SOUND_EDIT, WM_KEYDOWN, VK_RETURN, None, L"Alt  +  F10"},
        {IDC_SOUND_EDIT, WM_KEYDOWN, VK_DELETE, Ctrl | Shift, L"无"},
        {IDC_SOUND_EDIT, WM_KEYDOWN, VK_NUMPAD7, Ctrl | Shift | Alt, L"Ctrl  +  Shift  +  Alt  +  Num 7"},
        {IDC_SWITCH_EDIT, WM_KEYDOWN, VK_SPACE, None, L""},
    };
    std::vector<std::wstring> initial, seen;
    std::vector<CScriptedSettingDlg::Step> steps;
    steps.push_back([&](CScriptedSettingDlg& d) {
        for (UINT id : {IDC_BOSS_EDIT, IDC_SWITCH_EDIT, IDC_SOUND_EDIT}) initial.push_back(TextOf(d.Edit(id)));
    });
    for (const Case& c : cases) {
        steps.push_back([&c](CScriptedSettingDlg& d) {
            ::SetFocus(d.Edit(c.edit));
            HoldModifiers(c.held & Ctrl, c.held & Shift, c.held & Alt);
            d.PostKey(c.edit, c.message, c.vk);
        });
        steps.push_back([&c, &seen](CScriptedSettingDlg& d) { seen.push_back(TextOf(d.Edit(c.edit))); });
    }
    bool stillOpen = false;
    steps.push_back([&](CScriptedSettingDlg& d) {
        stillOpen = ::IsWindowVisible(d.Hwnd()) != FALSE;
        d.Press(IDCANCEL);
    });
    CScriptedSettingDlg dlg(steps);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    EXPECT_EQ(initial, (std::vector<std::wstring>{L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Q"}));
    ASSERT_EQ(seen.size(), std::size(cases));
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], cases[i].expected) << "case " << i;
    EXPECT_TRUE(stillOpen);  // neither Esc nor Enter closed it
    // Cancel saves nothing.
    EXPECT_EQ(::GetFileAttributesW(IniPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingDlg, OkStoresTheBindingsAndTellsTheMainWindows) {
    // Twelve launcher main windows, and one with the title but another class.
    std::vector<fw::Window> fakes;
    for (int i = 0; i < 13; ++i) {
        const wchar_t* cls = i < 12 ? L"#32770" : L"STATIC";
        fakes.emplace_back(::CreateWindowExW(0, cls, L"kelvra - Brennic", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                             nullptr, nullptr));
        ASSERT_TRUE(fakes.back());
        g_fakes[i] = fakes.back().Get();
        g_reloads[i] = 0;
        ::SetWindowLongPtrW(g_fakes[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    }
    ::WritePrivateProfileStringW(L"Tamsolo", L"SndKey", L"4,65", IniPath().c_str());

    CScriptedSettingDlg dlg({
        [](CScriptedSettingDlg& d) {
            ::SetFocus(d.Edit(mainwnd::IDC_BOSS_EDIT));
            d.PostKey(mainwnd::IDC_BOSS_EDIT, WM_KEYDOWN, VK_BACK);
        },
        [](CScriptedSettingDlg& d) {
            // Only a modifier in the sound field: its stored Shift + A stays.
            ::SetFocus(d.Edit(mainwnd::IDC_SOUND_EDIT));
            HoldModifiers(true, false, false);
            d.PostKey(mainwnd::IDC_SOUND_EDIT, WM_KEYDOWN, VK_CONTROL);
        },
        [](CScriptedSettingDlg& d) {
            ::SetFocus(d.Edit(mainwnd::IDC_SWITCH_EDIT));
            HoldModifiers(false, true, false);
            d.PostKey(mainwnd::IDC_SWITCH_EDIT, WM_KEYDOWN, VK_F3);
        },
        [](CScriptedSettingDlg& d) { d.Press(IDOK); },
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);

    EXPECT_EQ(IniValue(L"ShortKey"), L"0,0");   // Backspace: the boss key is off
    EXPECT_EQ(IniValue(L"AltWndKey"), L"4,114");
    EXPECT_EQ(IniValue(L"SndKey"), L"4,65");

    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    int told = 0;
    for (int i = 0; i < 12; ++i) {
        EXPECT_LE(g_reloads[i], 1);
        told += g_reloads[i];
    }
    EXPECT_EQ(told, mainwnd::kMaxNotifiedMainWindows);
    EXPECT_EQ(g_reloads[12], 0);
    for (int i = 0; i < 13; ++i) g_fakes[i] = nullptr;
}

TEST_F(SettingDlg, ConflictingBindingsAreRefusedAndNothingIsWritten) {
    struct Round {
        std::vector<std::pair<UINT, int>> keys;  // field and key, no modifiers unless noted
        bool shiftOnBoss;
    } rounds[] = {
        {{{mainwnd::IDC_BOSS_EDIT, VK_BACK}, {mainwnd::IDC_SOUND_EDIT, VK_BACK}}, false},  // "无" twice
        // The boss field left at "Shift  +  " keeps its stored F10; F10 in the sound field
        // would fire together with it, although the two texts differ.
        {{{mainwnd::IDC_SOUND_EDIT, VK_F10}}, true},
    };
    for (const Round& round : rounds) {
        HWND box = nullptr;
        std::wstring boxTitle;
        bool openAfterBox = false;
        std::vector<CScriptedSettingDlg::Step> steps;
        if (round.shiftOnBoss) {
            steps.push_back([](CScriptedSettingDlg& d) {
                ::SetFocus(d.Edit(mainwnd::IDC_BOSS_EDIT));
                HoldModifiers(false, true, false);
                d.PostKey(mainwnd::IDC_BOSS_EDIT, WM_KEYDOWN, VK_SHIFT);
            });
            steps.push_back([](CScriptedSettingDlg&) { HoldModifiers(false, false, false); });
        }
        for (const auto& key : round.keys) {
            steps.push_back([key](CScriptedSettingDlg& d) {
                ::SetFocus(d.Edit(key.first));
                d.PostKey(key.first, WM_KEYDOWN, key.second);
            });
        }
        steps.push_back([](CScriptedSettingDlg& d) { d.Press(IDOK); });
        // The message box is up by now, running its own loop; this step runs inside it.
        steps.push_back([&](CScriptedSettingDlg& d) {
            box = OwnedWindow(d.Hwnd());
            boxTitle = TextOf(box);
            ::PostMessageW(box, WM_CLOSE, 0, 0);
        });
        steps.push_back([&](CScriptedSettingDlg& d) {
            openAfterBox = ::IsWindowVisible(d.Hwnd()) != FALSE;
            d.Press(IDCANCEL);
        });
        CScriptedSettingDlg dlg(steps);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_NE(box, nullptr);
        EXPECT_EQ(boxTitle, L"kelvra - Brennic");
        EXPECT_TRUE(openAfterBox);
        EXPECT_EQ(::GetFileAttributesW(IniPath().c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(SettingDlg, GroupBoxesGetTheirOwnBrushMadeOnce) {
    HBRUSH first = nullptr, second = nullptr, label = nullptr;
    COLORREF colour = 0;
    CScriptedSettingDlg dlg({[&](CScriptedSettingDlg& d) {
        fw::WindowDc dc(d.Hwnd());
        for (int id : {1017, 1012}) {
            const LRESULT r = d.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                            reinterpret_cast<LPARAM>(::GetDlgItem(d.Hwnd(), id)));
            (first ? second : first) = reinterpret_cast<HBRUSH>(r);
        }
        label = reinterpret_cast<HBRUSH>(d.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                                       reinterpret_cast<LPARAM>(::GetDlgItem(d.Hwnd(), 1006))));
        LOGBRUSH lb{};
        if (first && ::GetObjectW(first, sizeof(lb), &lb)) colour = lb.lbColor;
        d.Press(IDCANCEL);
    }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(colour, RGB(0xE7, 0xF1, 0xF7));
    EXPECT_NE(label, first);
    // Released with the dialog.
    LOGBRUSH lb{};
    EXPECT_EQ(::GetObjectW(first, sizeof(lb), &lb), 0);
}
