#include "mainwnd/settingrules.h"

#include <gtest/gtest.h>

using namespace tamsolo;

namespace {

constexpr int kCtrl = kModCtrl, kShift = kModShift, kAlt = kModAlt;

HotkeyBinding B(int modifiers, int vk) {
    HotkeyBinding b;
    b.modifiers = modifiers;
    b.vk = vk;
    return b;
}

}  // namespace

TEST(SettingCapture, KeysGiveTheFieldsTextAndCode) {
    const auto boss = HotkeyField::Boss, sw = HotkeyField::Switch, sound = HotkeyField::Sound;
    struct Case {
        HotkeyField field;
        int key;
        int modifiers;
        std::u16string text;
        int vk;  // previous code is 77
    } cases[] = {
        {boss, 'Q', kCtrl, u"Ctrl  +  Q", 'Q'},
        {boss, 'A', kCtrl | kShift | kAlt, u"Ctrl  +  Shift  +  Alt  +  A", 'A'},
        {sound, 0x79, kAlt, u"Alt  +  F10", 0x79},
        {boss, 0x11, kCtrl, u"Ctrl  +  ", 77},       // the modifier alone, ending in a blank
        {boss, 0x12, kAlt, u"Alt  +  ", 77},
        {sw, 0x09, kCtrl, u"Ctrl  +  Tab", 0x09},    // Tab only in the window-switch field
        {boss, 0x09, kCtrl, u"Ctrl  +  ", 77},
        {sound, 0x09, 0, u"", 77},
        {boss, 0x08, kCtrl, u"无", 0},                // Back, Del and the Windows keys clear
        {sw, 0x2E, 0, u"无", 0},
        {sound, 0x5B, kShift, u"无", 0},
        {boss, 0x7B, kCtrl, u"无", 0},                // F12 clears the boss and sound fields
        {sound, 0x7B, 0, u"无", 0},
        {sw, 0x7B, kCtrl, u"Ctrl  +  ", 77},          // and shows only the modifiers here
        {boss, 0x20, kShift, u"Shift  +  ", 77},      // Space is not taken
        {boss, 0x6C, 0, u"", 77},                     // nor the numeric-pad separator
        {boss, 0x91, 0, u"", 77},                     // nor Scroll Lock, though it has a name
        {boss, 0xDE, kShift, u"Shift  +  '", 0xDE},
        {boss, 0x28, 0, u"Down", 0x28},
    };
    for (const Case& c : cases) {
        const FieldCapture got = CaptureKey(c.field, c.key, c.modifiers, 77);
        EXPECT_EQ(got.text, c.text) << "key " << c.key;
        EXPECT_EQ(got.vk, c.vk) << "key " << c.key;
    }
}

TEST(SettingSave, WhatEachFieldStores) {
    const HotkeyBinding f10 = B(0, 0x79);
    struct Case {
        std::u16string text;
        int vk;
        HotkeyBinding stored, expected;
    } cases[] = {
        {u"Ctrl  +  Q", 'Q', f10, B(kCtrl, 'Q')},
        {u"Shift  +  Alt  +  F9", 0x78, f10, B(kShift | kAlt, 0x78)},
        {u"无", 'Q', f10, B(0, 0)},                // Backspace: the key is off
        {u"Ctrl  +  ", 'Q', f10, f10},              // only modifiers: the stored key stays
        {u"", 'Q', f10, f10},
        {u"Num Lock", 0x90, f10, B(0, 0x90)},       // a blank inside a name is not an ending one
        // Untouched fields keep what is stored even where the text could not carry it back:
        // a hand-edited key Ctrl (17) shows "Ctrl", which read back would be Ctrl + Ctrl.
        {u"Ctrl", 17, B(0, 17), B(0, 17)},
        {u"无", 0, B(kCtrl, 0), B(kCtrl, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BindingToSave(c.text, c.vk, c.stored), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(SettingSave, ConflictsAreJudgedOnTheBindingsThatWillBeInForce) {
    struct Case {
        HotkeyBinding boss, sw, sound;
        bool conflict;
    } cases[] = {
        {B(0, 0x79), B(kCtrl, 0x09), B(kCtrl, 'Q'), false},  // the defaults
        {B(0, 0), B(kCtrl, 0x09), B(0, 0), true},            // "无" twice
        {B(0, 0), B(kCtrl, 0x09), B(kCtrl, 0), true},        // no key, whatever modifiers are stored
        {B(0, 0), B(kCtrl, 0x09), B(kCtrl, 'Q'), false},     // one field off
        {B(kCtrl, 'Q'), B(kCtrl, 0x09), B(kCtrl, 'Q'), true},
        {B(kCtrl, 'Q'), B(kShift, 'Q'), B(0, 'Q'), false},   // same key, other modifiers
        {B(0, 0x79), B(0, 0x79), B(kCtrl, 'Q'), true},
    };
    for (const Case& c : cases) EXPECT_EQ(AnyConflict(c.boss, c.sw, c.sound), c.conflict);

    // A field left at "Shift  +  " keeps the stored F10; a new F10 in another field collides
    // with it although the two texts differ.
    const HotkeyBinding boss = BindingToSave(u"Shift  +  ", 0x10, B(0, 0x79));
    const HotkeyBinding sound = BindingToSave(u"F10", 0x79, B(kCtrl, 'Q'));
    EXPECT_TRUE(AnyConflict(boss, B(kCtrl, 0x09), sound));
    // Two fields both left at "Ctrl  +  " keep different stored keys: no conflict.
    EXPECT_FALSE(AnyConflict(BindingToSave(u"Ctrl  +  ", 0x11, B(0, 0x79)),
                             BindingToSave(u"Ctrl  +  ", 0x11, B(kCtrl, 0x09)), B(kCtrl, 'Q')));
}
