#include "mainwnd/hotkey.h"

#include <gtest/gtest.h>

using namespace tamsolo;

TEST(HotkeyBinding, StoredFormReadsBack) {
    struct Case {
        std::u16string stored;
        int modifiers, vk;
    } cases[] = {
        {u"0,121", 0, 121},       // F10, the boss key's default
        {u"2,9", 2, 9},           // Ctrl + Tab
        {u"2,81", 2, 81},         // Ctrl + Q
        {u"2", 2, 0},             // no comma: all modifiers, no key
        {u" 7, 65", 7, 65},       // blanks before the digits are skipped
        {u"4,12abc", 4, 12},      // digits up to the first non-digit
        {u"x,y", 0, 0},
        {u",", 0, 0},
        {u"", 0, 0},
        {u"1,2,3", 1, 2},         // split at the first comma
        {u"-1,-1", -1, -1},
    };
    for (const Case& c : cases) {
        const HotkeyBinding b = ParseBinding(c.stored);
        EXPECT_EQ(b.modifiers, c.modifiers) << std::string(c.stored.begin(), c.stored.end());
        EXPECT_EQ(b.vk, c.vk) << std::string(c.stored.begin(), c.stored.end());
    }
    for (const HotkeyBinding b : {HotkeyBinding{121, 0}, HotkeyBinding{81, 2}, HotkeyBinding{0, 7}}) {
        EXPECT_EQ(ParseBinding(FormatStoredBinding(b)), b);
    }
    EXPECT_EQ(FormatStoredBinding(HotkeyBinding{9, 2}), u"2,9");
}

TEST(HotkeyBinding, DisplayedForm) {
    struct Case {
        int modifiers, vk;
        std::u16string text;
    } cases[] = {
        {0, 0x79, u"F10"},
        {2, 0x51, u"Ctrl  +  Q"},
        {7, 0x41, u"Ctrl  +  Shift  +  Alt  +  A"},
        {5, 0x09, u"Shift  +  Alt  +  Tab"},
        {7, 0, u"无"},                  // no key, whatever the modifiers
        {2, 0x07, u"Ctrl  +  "},        // a key without a name
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BindingText(HotkeyBinding{c.vk, c.modifiers}), c.text) << c.modifiers << "," << c.vk;
    }
}

TEST(HotkeyBinding, KeyNames) {
    struct Case {
        int vk;
        std::u16string name;
    } cases[] = {
        {0x08, u"Back"}, {0x09, u"Tab"}, {0x0D, u"Enter"}, {0x10, u"Shift"}, {0x11, u"Ctrl"}, {0x12, u"Alt"},
        {0x13, u"Pause Break"}, {0x14, u"Caps"}, {0x1B, u"Esc"}, {0x21, u"Page Up"}, {0x22, u"Page Down"},
        {0x23, u"End"}, {0x24, u"Home"}, {0x25, u"Left"}, {0x26, u"Up"}, {0x27, u"Right"}, {0x28, u"Down"},
        {0x2D, u"Insert"}, {0x2E, u"Del"}, {0x30, u"0"}, {0x39, u"9"}, {0x41, u"A"}, {0x5A, u"Z"},
        {0x5B, u"LWin"}, {0x5C, u"RWin"}, {0x60, u"Num 0"}, {0x69, u"Num 9"}, {0x6A, u"Num *"},
        {0x6B, u"Num +"}, {0x6D, u"Num -"}, {0x6E, u"Num Del"}, {0x6F, u"Num /"}, {0x70, u"F1"},
        {0x79, u"F10"}, {0x7B, u"F12"}, {0x90, u"Num Lock"}, {0x91, u"Scroll Lock"}, {0xBA, u";"},
        {0xBB, u"+"}, {0xBC, u","}, {0xBD, u"-"}, {0xBE, u"."}, {0xBF, u"/"}, {0xC0, u"`"}, {0xDB, u"["},
        {0xDC, u"\\"}, {0xDD, u"]"}, {0xDE, u"'"},
        // Without a name: the numeric-pad separator, F13, gaps, and codes outside 0x08..0xDE.
        {0x6C, u""}, {0x7C, u""}, {0x07, u""}, {0x00, u""}, {0x0A, u""}, {0x2F, u""}, {0x3A, u""},
        {0x40, u""}, {0x5D, u""}, {0xC1, u""}, {0xDF, u""}, {0xFF, u""}, {-1, u""}, {0x141, u""},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyName(c.vk), c.name) << std::hex << c.vk;

    // 97 named keys in all, each fitting a 16-character buffer.
    int named = 0;
    for (int vk = 0; vk < 0x100; ++vk) {
        const std::u16string n = KeyName(vk);
        if (n.empty()) continue;
        ++named;
        EXPECT_LT(n.size(), 16u) << vk;
    }
    EXPECT_EQ(named, 97);
}

TEST(HotkeyBinding, ModifiersMustMatchExactly) {
    EXPECT_EQ(ModifierSet(false, false, false), 0);
    EXPECT_EQ(ModifierSet(true, false, false), kModCtrl);
    EXPECT_EQ(ModifierSet(true, true, true), 7);
    EXPECT_EQ(ModifierSet(false, true, true), kModShift | kModAlt);
    const HotkeyBinding boss = ParseBinding(kBossKey.defaultText);
    EXPECT_TRUE(boss.Matches(0x79, 0));
    EXPECT_FALSE(boss.Matches(0x79, kModCtrl));  // Ctrl + F10 is not the boss key
    EXPECT_FALSE(HotkeyBinding{}.Matches(0x79, 0));  // not loaded yet: never matches a key
}
