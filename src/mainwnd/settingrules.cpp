#include "mainwnd/settingrules.h"

namespace tamsolo {

namespace {

constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkEnter = 0x0D;
constexpr int kVkAlt = 0x12;
constexpr int kVkEsc = 0x1B;
constexpr int kVkDel = 0x2E;
constexpr int kVkLWin = 0x5B;
constexpr int kVkRWin = 0x5C;
constexpr int kVkF10 = 0x79;
constexpr int kVkF12 = 0x7B;

bool InRange(int key, int first, int last) { return key >= first && key <= last; }

bool ClearsField(HotkeyField field, int key) {
    if (key == kVkBack || key == kVkDel || key == kVkLWin || key == kVkRWin) return true;
    // F12 belongs to the debugger on many machines; only the window-switch field, which acts
    // inside the launcher alone, lets it through (and then shows just the modifiers).
    return key == kVkF12 && field != HotkeyField::Switch;
}

bool EndsWithBlank(const std::u16string& text) { return !text.empty() && text.back() == u' '; }

bool Contains(const std::u16string& text, const char16_t* part) { return text.find(part) != std::u16string::npos; }

}  // namespace

KeyMessageAction ClassifyKeyMessage(unsigned message, int key) {
    if (message == kWmSysKeyDown) {
        if (key != kVkF10 && key != kVkAlt) return KeyMessageAction::PassOn;
    } else if (message != kWmKeyDown) {
        return KeyMessageAction::PassOn;
    }
    if (key == kVkEsc || key == kVkEnter) return KeyMessageAction::Swallow;
    return KeyMessageAction::Capture;
}

bool IsCapturableKey(HotkeyField field, int key) {
    if (key == kVkTab) return field == HotkeyField::Switch;
    return InRange(key, 0x70, 0x7A)      // F1-F11
           || InRange(key, 0x30, 0x39)   // 0-9
           || InRange(key, 0x41, 0x5A)   // A-Z
           || InRange(key, 0x21, 0x28)   // Page Up, Page Down, End, Home, arrows
           || key == 0x2D                // Insert
           || key == 0x14                // Caps
           || InRange(key, 0xBA, 0xC0)   // ; + , - . / `
           || InRange(key, 0xDB, 0xDE)   // [ \ ] '
           || key == 0x90                // Num Lock
           || InRange(key, 0x60, 0x6B)   // Num 0-9, Num *, Num +
           || InRange(key, 0x6D, 0x6F);  // Num -, Num Del, Num /
}

FieldCapture CaptureKey(HotkeyField field, int key, int modifiers, int previousVk) {
    if (ClearsField(field, key)) return FieldCapture{u"无", 0};
    FieldCapture result{u"", previousVk};
    std::u16string name;
    if (IsCapturableKey(field, key)) {
        result.vk = key;
        name = KeyName(key);
    }
    if (modifiers & kModCtrl) result.text += u"Ctrl  +  ";
    if (modifiers & kModShift) result.text += u"Shift  +  ";
    if (modifiers & kModAlt) result.text += u"Alt  +  ";
    result.text += name;
    return result;
}

HotkeyBinding BindingToSave(const std::u16string& text, int vk, const HotkeyBinding& stored) {
    if (text.empty() || EndsWithBlank(text)) return stored;
    // Reading the modifiers back from an untouched field could change what it means: a stored
    // key without a name, or one named like a modifier, does not survive the round trip.
    if (text == BindingText(stored)) return stored;
    HotkeyBinding b;
    b.vk = Contains(text, u"无") ? 0 : vk;
    b.modifiers = 0;
    if (Contains(text, u"Ctrl")) b.modifiers |= kModCtrl;
    if (Contains(text, u"Shift")) b.modifiers |= kModShift;
    if (Contains(text, u"Alt")) b.modifiers |= kModAlt;
    return b;
}

bool BindingsConflict(const HotkeyBinding& a, const HotkeyBinding& b) {
    if (a.vk == 0 || b.vk == 0) return a.vk == b.vk;
    return a == b;
}

bool AnyConflict(const HotkeyBinding& boss, const HotkeyBinding& windowSwitch, const HotkeyBinding& sound) {
    return BindingsConflict(boss, windowSwitch) || BindingsConflict(boss, sound) ||
           BindingsConflict(windowSwitch, sound);
}

}  // namespace tamsolo
