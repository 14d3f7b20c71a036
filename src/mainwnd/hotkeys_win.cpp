#include "mainwnd/hotkeys_win.h"

#include <string>

#include "app/counter.h"
#include "framework/text_win.h"
#include "framework/paths_win.h"

namespace mainwnd {

namespace {

constexpr DWORD kBindingChars = 32;

const wchar_t* Section() { return reinterpret_cast<const wchar_t*>(tamsolo::kStatisticsSection); }

bool KeyDown(SHORT state) { return (state & 0xFF00) != 0; }

}  // namespace

HotkeySet& Hotkeys() {
    static HotkeySet set;
    return set;
}

tamsolo::HotkeyBinding LoadHotkeyBinding(const tamsolo::HotkeyKey& key) {
    const std::wstring file = fw::StatisticsFile();
    const wchar_t* fallback = reinterpret_cast<const wchar_t*>(key.defaultText);
    if (file.empty()) return tamsolo::ParseBinding(key.defaultText);
    wchar_t text[kBindingChars] = {};
    ::GetPrivateProfileStringW(Section(), reinterpret_cast<const wchar_t*>(key.name), fallback, text, kBindingChars,
                               file.c_str());
    return tamsolo::ParseBinding(fw::U(text));
}

void LoadAllHotkeys() {
    HotkeySet& set = Hotkeys();
    set.boss = LoadHotkeyBinding(tamsolo::kBossKey);
    set.windowSwitch = LoadHotkeyBinding(tamsolo::kSwitchKey);
    set.sound = LoadHotkeyBinding(tamsolo::kSoundKey);
}

bool StoreHotkeyBinding(const tamsolo::HotkeyKey& key, const tamsolo::HotkeyBinding& binding) {
    const std::wstring file = fw::StatisticsFile();
    if (file.empty()) return false;
    return ::WritePrivateProfileStringW(Section(), reinterpret_cast<const wchar_t*>(key.name),
                                        fw::W(tamsolo::FormatStoredBinding(binding)).c_str(), file.c_str()) != FALSE;
}

int ModifiersFromThreadState() {
    return tamsolo::ModifierSet(KeyDown(::GetKeyState(VK_CONTROL)), KeyDown(::GetKeyState(VK_SHIFT)),
                                KeyDown(::GetKeyState(VK_MENU)));
}

int ModifiersFromAsyncState() {
    return tamsolo::ModifierSet(KeyDown(::GetAsyncKeyState(VK_CONTROL)), KeyDown(::GetAsyncKeyState(VK_SHIFT)),
                                KeyDown(::GetAsyncKeyState(VK_MENU)));
}

}  // namespace mainwnd
