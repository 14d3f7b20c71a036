// The low-level keyboard hook of the main process: the boss key and the sound key work
// whatever program has the focus. The hook only recognises the key and posts it to the main
// window; Windows removes a hook that keeps it waiting, so nothing slow happens in here.
#include "app/protocol.h"
#include "mainwnd/hotkeys_win.h"
#include "mainwnd/quorvane3dlg_win.h"

namespace mainwnd {

namespace {

enum HotkeyAction : WPARAM { kBossAction = 1, kSoundAction = 2 };

LRESULT CALLBACK KeyboardHook(int code, WPARAM w, LPARAM l) {
    CQuorvane3Dlg* main = CQuorvane3Dlg::Instance();
    if (code == HC_ACTION && l && (w == WM_KEYDOWN || w == WM_SYSKEYDOWN) && main && main->m_hWnd &&
        main->PageCount() > 0) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(l);
        const int vk = static_cast<int>(key->vkCode);
        // The thread's own key state is stale while another program has the focus.
        const int mods = ModifiersFromAsyncState();
        const HotkeySet& keys = Hotkeys();
        if (keys.boss.Matches(vk, mods)) {
            ::PostMessageW(main->m_hWnd, WM_HOTKEY_PRESSED, kBossAction, 0);
        } else if (keys.sound.Matches(vk, mods)) {
            ::PostMessageW(main->m_hWnd, WM_HOTKEY_PRESSED, kSoundAction, 0);
        }
    }
    // No key is swallowed.
    return ::CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

void CQuorvane3Dlg::InstallKeyboardHook() {
    if (hook_) return;
    hook_.Reset(::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardHook, ::GetModuleHandleW(nullptr), 0));
}

void CQuorvane3Dlg::RemoveKeyboardHook() {
    hook_.Reset();
}

LRESULT CQuorvane3Dlg::OnHotkeyPressed(WPARAM w, LPARAM) {
    if (exited_ || pages_.Count() == 0) return 0;
    if (w == kBossAction) {
        BossToggle();
    } else if (w == kSoundAction) {
        muted_ = !muted_;
    }
    return 0;
}

}  // namespace mainwnd
