// What the hotkey settings dialog decides: which key messages its capture fields take, the
// text and key code a key press leaves in a field, and what OK stores. Portable.
#pragma once

#include <string>

#include "mainwnd/hotkey.h"

namespace tamsolo {

enum class HotkeyField { Boss, Switch, Sound };

// What the dialog's pre-filter does with a message before dispatch.
enum class KeyMessageAction {
    PassOn,   // not ours: the dialog's usual keyboard handling
    Swallow,  // Esc and Enter: the dialog never closes by keyboard
    Capture,  // a key for the focused capture field (if one has the focus)
};

constexpr unsigned kWmKeyDown = 0x0100;
constexpr unsigned kWmSysKeyDown = 0x0104;

// Every WM_KEYDOWN is looked at; of WM_SYSKEYDOWN only F10 and Alt itself (Alt held with
// another key is the system's, so Alt + Q cannot be entered).
KeyMessageAction ClassifyKeyMessage(unsigned message, int key);

// Keys a field takes as its main key: F1-F11, digits, letters, Page Up to Down, Insert, Caps,
// the punctuation keys, Num Lock and the numeric pad; Tab only in the window-switch field.
bool IsCapturableKey(HotkeyField field, int key);

// The field's text and key code after a key press. Back, Del, the Windows keys and (in the
// boss and sound fields) F12 clear the field to "无". Any other key shows the held modifiers,
// followed by the key's name when the field takes that key; a key it does not take leaves
// only the modifiers ("Ctrl  +  ", ending in a blank) and keeps the previous code.
struct FieldCapture {
    std::u16string text;
    int vk;
};
FieldCapture CaptureKey(HotkeyField field, int key, int modifiers, int previousVk);

// What OK does with one field, given its text, the code last captured in it and the binding
// stored for it now. A field that shows no complete binding (empty, or only modifiers so far)
// keeps the stored binding; so does a field that still shows the stored binding's text. "无"
// is no key. Otherwise the modifiers come from the names in the text and the key from vk.
HotkeyBinding BindingToSave(const std::u16string& text, int vk, const HotkeyBinding& stored);

// Two bindings that would fire on the same key press. Two fields without a key ("无") count
// as a conflict too: the player is asked to give each its own.
bool BindingsConflict(const HotkeyBinding& a, const HotkeyBinding& b);

// The conflict test of OK over the bindings that will be in effect after saving.
bool AnyConflict(const HotkeyBinding& boss, const HotkeyBinding& windowSwitch, const HotkeyBinding& sound);

}  // namespace tamsolo
