#include "mainwnd/hotkey.h"

#include "app/counter.h"

namespace tamsolo {

namespace {

std::u16string Decimal(int value) {
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

HotkeyBinding ParseBinding(const std::u16string& stored) {
    HotkeyBinding b;
    const std::size_t comma = stored.find(u',');
    if (comma == std::u16string::npos) {
        b.modifiers = ReadSignedDecimal(stored);
        b.vk = 0;
    } else {
        b.modifiers = ReadSignedDecimal(stored.substr(0, comma));
        b.vk = ReadSignedDecimal(stored.substr(comma + 1));
    }
    return b;
}

std::u16string FormatStoredBinding(const HotkeyBinding& binding) {
    return Decimal(binding.modifiers) + u"," + Decimal(binding.vk);
}

std::u16string KeyName(int vk) {
    if (vk >= 0x30 && vk <= 0x39) return std::u16string(1, static_cast<char16_t>(vk));
    if (vk >= 0x41 && vk <= 0x5A) return std::u16string(1, static_cast<char16_t>(vk));
    if (vk >= 0x60 && vk <= 0x69) return u"Num " + std::u16string(1, static_cast<char16_t>(u'0' + vk - 0x60));
    if (vk >= 0x70 && vk <= 0x7B) return u"F" + Decimal(vk - 0x70 + 1);
    switch (vk) {
        case 0x08: return u"Back";
        case 0x09: return u"Tab";
        case 0x0D: return u"Enter";
        case 0x10: return u"Shift";
        case 0x11: return u"Ctrl";
        case 0x12: return u"Alt";
        case 0x13: return u"Pause Break";
        case 0x14: return u"Caps";
        case 0x1B: return u"Esc";
        case 0x21: return u"Page Up";
        case 0x22: return u"Page Down";
        case 0x23: return u"End";
        case 0x24: return u"Home";
        case 0x25: return u"Left";
        case 0x26: return u"Up";
        case 0x27: return u"Right";
        case 0x28: return u"Down";
        case 0x2D: return u"Insert";
        case 0x2E: return u"Del";
        case 0x5B: return u"LWin";
        case 0x5C: return u"RWin";
        case 0x6A: return u"Num *";
        case 0x6B: return u"Num +";
        case 0x6D: return u"Num -";
        case 0x6E: return u"Num Del";
        case 0x6F: return u"Num /";
        case 0x90: return u"Num Lock";
        case 0x91: return u"Scroll Lock";
        case 0xBA: return u";";
        case 0xBB: return u"+";
        case 0xBC: return u",";
        case 0xBD: return u"-";
        case 0xBE: return u".";
        case 0xBF: return u"/";
        case 0xC0: return u"`";
        case 0xDB: return u"[";
        case 0xDC: return u"\\";
        case 0xDD: return u"]";
        case 0xDE: return u"'";
        default: return u"";
    }
}

std::u16string BindingText(const HotkeyBinding& binding) {
    if (binding.vk == 0) return u"无";
    std::u16string text;
    const int m = binding.modifiers < 0 ? 0 : binding.modifiers;
    if (m & kModCtrl) text += u"Ctrl  +  ";
    if (m & kModShift) text += u"Shift  +  ";
    if (m & kModAlt) text += u"Alt  +  ";
    return text + KeyName(binding.vk);
}

int ModifierSet(bool ctrl, bool shift, bool alt) {
    int m = 0;
    if (ctrl) m = kModCtrl;
    if (shift) m |= kModShift;
    if (alt) m |= kModAlt;
    return m;
}

}  // namespace tamsolo
