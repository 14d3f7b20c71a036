// Hotkey bindings: a modifier set and a virtual-key code, stored in the statistics file as
// "modifiers,vk" and shown to the player as "Ctrl  +  Q". Portable.
#pragma once

#include <string>

namespace tamsolo {

constexpr int kModAlt = 0x1;
constexpr int kModCtrl = 0x2;
constexpr int kModShift = 0x4;

struct HotkeyBinding {
    int vk = -1;         // 0 = no key; -1 = not loaded yet (never matches)
    int modifiers = -1;  // kModAlt | kModCtrl | kModShift; -1 = not loaded yet

    bool Matches(int keyCode, int mods) const { return vk == keyCode && modifiers == mods; }
    bool operator==(const HotkeyBinding& o) const { return vk == o.vk && modifiers == o.modifiers; }
    bool operator!=(const HotkeyBinding& o) const { return !(*this == o); }
};

// The three bindings: statistics-file key and default text.
struct HotkeyKey {
    const char16_t* name;
    const char16_t* defaultText;
};
constexpr HotkeyKey kBossKey{u"ShortKey", u"0,121"};      // F10
constexpr HotkeyKey kSwitchKey{u"AltWndKey", u"2,9"};     // Ctrl + Tab
constexpr HotkeyKey kSoundKey{u"SndKey", u"2,81"};        // Ctrl + Q

// The stored text read back: modifiers before the first comma, vk after it, each the value of
// its leading decimal digits (blanks skipped, a sign allowed, 0 without digits, clamped to the
// 32-bit range). A text without a comma is all modifiers, vk 0.
HotkeyBinding ParseBinding(const std::u16string& stored);
// "modifiers,vk" in decimal.
std::u16string FormatStoredBinding(const HotkeyBinding& binding);
// "无" for vk 0; otherwise "Ctrl  +  ", "Shift  +  ", "Alt  +  " (those present, in this
// order) and the key's name.
std::u16string BindingText(const HotkeyBinding& binding);
// The key-name table: empty for a code without a name.
std::u16string KeyName(int vk);
// The modifier set from the three key states.
int ModifierSet(bool ctrl, bool shift, bool alt);

}  // namespace tamsolo
