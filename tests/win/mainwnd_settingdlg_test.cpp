// The hotkey settings dialog on real windows: key messages through its pre-filter, the
// conflict refusal, the saved statistics file and the reload message to the main windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/handle_win.h"
#include "mainwnd/settingdlg_win.h"
#include "framework/paths_win.h"

using mainwnd::IDC_BOSS_EDIT;
using mainwnd::IDC_SOUND_EDIT;
using mainwnd::IDC_SWITCH_EDIT;

namespace {

constexpr UINT kMsgStep = WM_APP + 70;
enum Held { None = 0, Ctrl = 1, Shift = 2, Alt = 4 };

std::wstring IniPath() { return fw::StatisticsFile(); }

std::wstring IniValue(const wchar_t* key) {
    wchar_t text[64] = {};
    ::GetPrivateProfileStringW(L"Tamsolo", key, L"(none)", text, 64, IniPath().c_str());
    return text;
}

bool IniExists() { return ::GetFileAttributesW(IniPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring TextOf(HWND wnd) {
    wchar_t text[128] = {};
    ::GetWindowTextW(wnd, text, 128);
    return text;
}

// Ctrl, Shift and Alt as this thread's key state sees them.
void HoldModifiers(int held) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = (held & Ctrl) ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = (held & Shift) ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = (held & Alt) ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

// A settings dialog that runs a script once it is up: one step per posted message, so the
// key messages a step posts pass the modal loop (and so the pre-filter) before the next step.
class CScriptedSettingDlg : public mainwnd::CSettingDlg {
public:
    using Step = std::function<void(CScriptedSettingDlg&)>;
    explicit CScriptedSettingDlg(std::vector<Step> steps) : CSettingDlg(nullptr), steps_(std::move(steps)) {}

    HWND Hwnd() const { return m_hWnd; }
    HWND Edit(UINT id) const { return ::GetDlgItem(m_hWnd, static_cast<int>(id)); }
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

// A key pressed in a field: focus there, modifiers held, the key message posted to the edit.
CScriptedSettingDlg::Step Key(UINT edit, int vk, int held = None, UINT message = WM_KEYDOWN) {
    return [=](CScriptedSettingDlg& d) {
        ::SetFocus(d.Edit(edit));
        HoldModifiers(held);
        ::PostMessageW(d.Edit(edit), message, static_cast<WPARAM>(vk), 1);
    };
}

// Text put into a field the way a mouse user could: the clipboard's contents pasted, and
// characters as an input method sends them.
CScriptedSettingDlg::Step Paste(UINT edit, const std::wstring& text) {
    return [=](CScriptedSettingDlg& d) {
        if (::OpenClipboard(d.Hwnd())) {
            ::EmptyClipboard();
            HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
            if (memory) {
                memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
                ::GlobalUnlock(memory);
                if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
            }
            ::CloseClipboard();
        }
        ::SendMessageW(d.Edit(edit), WM_PASTE, 0, 0);
        ::SendMessageW(d.Edit(edit), WM_CHAR, L'x', 1);
    };
}

// A visible window of this thread owned by owner (the message box a dialog opened).
HWND OwnedWindow(HWND owner) {
    std::pair<HWND, HWND> search{owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND wnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<HWND, HWND>*>(param);
            if (::GetWindow(wnd, GW_OWNER) != s->first || !::IsWindowVisible(wnd)) return TRUE;
            s->second = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Stand-ins for launcher main windows count the WM_USER+4 they get.
int g_reloads[16];
HWND g_fakes[16];

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    for (int i = 0; i < 16; ++i) g_reloads[i] += (g_fakes[i] == wnd && msg == WM_USER + 4) ? 1 : 0;
    return ::DefWindowProcW(wnd, msg, w, l);
}

class SettingDlg : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(IniPath().c_str()); }
    void TearDown() override {
        ::DeleteFileW(IniPath().c_str());
        HoldModifiers(None);
    }
};

}  // namespace

TEST_F(SettingDlg, KeysPressedInTheFieldsShowAsBindingTexts) {
    struct Case {
        CScriptedSettingDlg::Step key;
        UINT edit;
        std::wstring expected;
    } cases[] = {
        {Key(IDC_BOSS_EDIT, VK_BACK), IDC_BOSS_EDIT, L"无"},
        {Key(IDC_BOSS_EDIT, VK_CONTROL, Ctrl), IDC_BOSS_EDIT, L"Ctrl  +  "},
        {Key(IDC_BOSS_EDIT, 'Q', Ctrl), IDC_BOSS_EDIT, L"Ctrl  +  Q"},
        {Key(IDC_BOSS_EDIT, VK_TAB, Ctrl), IDC_BOSS_EDIT, L"Ctrl  +  "},
        {Key(IDC_SWITCH_EDIT, VK_TAB, Ctrl), IDC_SWITCH_EDIT, L"Ctrl  +  Tab"},
        {Key(IDC_SOUND_EDIT, VK_F12, Ctrl), IDC_SOUND_EDIT, L"无"},
        {Key(IDC_SOUND_EDIT, VK_MENU, Alt, WM_SYSKEYDOWN), IDC_SOUND_EDIT, L"Alt  +  "},
        {Key(IDC_SOUND_EDIT, VK_F10, Alt, WM_SYSKEYDOWN), IDC_SOUND_EDIT, L"Alt  +  F10"},
        {Key(IDC_SOUND_EDIT, 'Q', Alt, WM_SYSKEYDOWN), IDC_SOUND_EDIT, L"Alt  +  F10"},  // not captured
        {Key(IDC_SOUND_EDIT, VK_ESCAPE), IDC_SOUND_EDIT, L"Alt  +  F10"},
        {Key(IDC_SOUND_EDIT, VK_RETURN), IDC_SOUND_EDIT, L"Alt  +  F10"},
        {Paste(IDC_SOUND_EDIT, L"Ctrl"), IDC_SOUND_EDIT, L"Alt  +  F10"},  // no text but captured keys
    };
    std::vector<std::wstring> initial, seen;
    std::vector<CScriptedSettingDlg::Step> steps{[&](CScriptedSettingDlg& d) {
        for (UINT id : {IDC_BOSS_EDIT, IDC_SWITCH_EDIT, IDC_SOUND_EDIT}) initial.push_back(TextOf(d.Edit(id)));
    }};
    for (const Case& c : cases) {
        steps.push_back(c.key);
        steps.push_back([&c, &seen](CScriptedSettingDlg& d) { seen.push_back(TextOf(d.Edit(c.edit))); });
    }
    bool stillOpen = false;  // neither Esc nor Enter closed it
    steps.push_back([&](CScriptedSettingDlg& d) {
        stillOpen = ::IsWindowVisible(d.Hwnd()) != FALSE;
        d.Press(IDCANCEL);
    });
    CScriptedSettingDlg dlg(steps);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);

    EXPECT_EQ(initial, (std::vector<std::wstring>{L"F10", L"Ctrl  +  Tab", L"Ctrl  +  Q"}));
    ASSERT_EQ(seen.size(), std::size(cases));
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], cases[i].expected) << "case " << i;
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(IniExists());  // Cancel saves nothing
}

TEST_F(SettingDlg, OkStoresTheBindingsAndTellsUpToTenMainWindows) {
    // Twelve launcher main windows, and one with the title but another class.
    std::vector<fw::Window> fakes;
    for (int i = 0; i < 13; ++i) {
        fakes.emplace_back(::CreateWindowExW(0, i < 12 ? L"#32770" : L"STATIC", L"kelvra - Brennic", WS_POPUP, 0, 0, 10,
                                             10, nullptr, nullptr, nullptr, nullptr));
        g_fakes[i] = fakes.back().Get();
        g_reloads[i] = 0;
        ::SetWindowLongPtrW(g_fakes[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
    }
    ::WritePrivateProfileStringW(L"Tamsolo", L"SndKey", L"4,65", IniPath().c_str());

    CScriptedSettingDlg dlg({Key(IDC_BOSS_EDIT, VK_BACK),
                             Key(IDC_SOUND_EDIT, VK_CONTROL, Ctrl),  // only a modifier: Shift + A stays
                             Key(IDC_SWITCH_EDIT, VK_F3, Shift), [](CScriptedSettingDlg& d) { d.Press(IDOK); }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(IniValue(L"ShortKey"), L"0,0");  // Backspace: the boss key is off
    EXPECT_EQ(IniValue(L"AltWndKey"), L"4,114");
    EXPECT_EQ(IniValue(L"SndKey"), L"4,65");

    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    int told = 0;
    for (int i = 0; i < 12; ++i) told += g_reloads[i] == 1 ? 1 : 0;
    EXPECT_EQ(told, mainwnd::kMaxNotifiedMainWindows);
    EXPECT_EQ(g_reloads[12], 0);
    for (HWND& fake : g_fakes) fake = nullptr;
}

TEST_F(SettingDlg, ConflictIsRefusedWithAMessageAndNothingIsWritten) {
    HWND box = nullptr;
    std::wstring boxTitle;
    bool openAfterBox = false;
    CScriptedSettingDlg dlg({Key(IDC_BOSS_EDIT, VK_BACK), Key(IDC_SOUND_EDIT, VK_BACK),
                             [](CScriptedSettingDlg& d) { d.Press(IDOK); },
                             // The message box is up now, running its own loop; this step runs inside it.
                             [&](CScriptedSettingDlg& d) {
                                 box = OwnedWindow(d.Hwnd());
                                 boxTitle = TextOf(box);
                                 ::PostMessageW(box, WM_CLOSE, 0, 0);
                             },
                             [&](CScriptedSettingDlg& d) {
                                 openAfterBox = ::IsWindowVisible(d.Hwnd()) != FALSE;
                                 d.Press(IDCANCEL);
                             }});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_NE(box, nullptr);
    EXPECT_EQ(boxTitle, L"kelvra - Brennic");
    EXPECT_TRUE(openAfterBox);
    EXPECT_FALSE(IniExists());
}
