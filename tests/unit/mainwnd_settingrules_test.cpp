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

TEST(SettingCapture, WhichKeyMessagesAreLookedAt) {
    struct Case {
        unsigned message;
        int key;
        KeyMessageAction action;
    } cases[] = {
        {kWmKeyDown, 'Q', KeyMessageAction::Capture},
        {kWmKeyDown, 0x11, KeyMessageAction::Capture},     // Ctrl alone shows "Ctrl  +  "
        {kWmKeyDown, 0x1B, KeyMessageAction::Swallow},     // Esc never closes the dialog
        {kWmKeyDown, 0x0D, KeyMessageAction::Swallow},     // nor Enter
        {kWmSysKeyDown, 0x79, KeyMessageAction::Capture},  // F10 arrives as a system key
        {kWmSysKeyDown, 0x12, KeyMessageAction::Capture},  // Alt alone
        {kWmSysKeyDown, 'Q', KeyMessageAction::PassOn},    // Alt + Q is the system's
        {kWmSysKeyDown, 0x1B, KeyMessageAction::PassOn},
        {0x0101, 'Q', KeyMessageAction::PassOn},           // key-up
        {0x0102, 'q', KeyMessageAction::PassOn},           // WM_CHAR
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyKeyMessage(c.message, c.key), c.action) << std::hex << c.message << " " << c.key;
    }
}

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
        {sw, 0x5C, 0, u"无", 0},
        {boss, 0x7B, kCtrl, u"无", 0},                // F12 clears the boss and sound fields
        {sound, 0x7B, 0, u"无", 0},
        {sw, 0x7B, kCtrl, u"Ctrl  +  ", 77},          // and shows only the modifiers here
        {boss, 0x20, kShift, u"Shift  +  ", 77},      // Space is not taken
        {boss, 0x6C, 0, u"", 77},                     // nor the numeric-pad separator
        {boss, 0x91, 0, u"", 77},                     // nor Scroll Lock, though it has a name
        {boss, 0x6F, 0, u"Num /", 0x6F},
        {boss, 0xDE, kShift, u"Shift  +  '", 0xDE},
        {boss, 0x14, 0, u"Caps", 0x14},
        {boss, 0x90, 0, u"Num Lock", 0x90},
        {boss, 0x2D, 0, u"Insert", 0x2D},
        {boss, 0x28, 0, u"Down", 0x28},
    };
    for (const Case& c : cases) {
        const FieldCapture got = CaptureKey(c.field, c.key, c.modifiers, 77);
        EXPECT_EQ(got.text, c.text) << "key " << c.key;
        EXPECT_EQ(got.vk, c.vk) << "key " << c.key;
    }
}

TEST(SettingCapture, CtrlThenQShowsTheModifierFirst) {
    FieldCapture step = CaptureKey(HotkeyField::Sound, 0x11, kCtrl, 81);
    EXPECT_EQ(step.text, u"Ctrl  +  ");
    step = CaptureKey(HotkeyField::Sound, 'Q', kCtrl, step.vk);
    EXPECT_EQ(step.text, u"Ctrl  +  Q");
    EXPECT_EQ(step.vk, 'Q');
}

TEST(SettingSave, WhatEachFieldStores) {
    const HotkeyBinding stored = B(0, 0x79);  // F10
    struct Case {
        std::u16string text;
        int vk;
        HotkeyBinding expected;
    } cases[] = {
        {u"Ctrl  +  Q", 'Q', B(kCtrl, 'Q')},
        {u"Shift  +  Alt  +  F9", 0x78, B(kShift | kAlt, 0x78)},
        {u"无", 'Q', B(0, 0)},                   // Backspace: the key is off
        {u"Ctrl  +  ", 'Q', stored},             // only modifiers: the stored key stays
        {u"", 'Q', stored},
        {u"F10", 0x79, stored},                  // untouched
        {u"Num Lock", 0x90, B(0, 0x90)},         // a blank inside a name is not an ending one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BindingToSave(c.text, c.vk, stored), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(SettingSave, UntouchedFieldKeepsAStoredKeyThatTheTextCannotCarry) {
    // A hand-edited file with the key Ctrl (17) and no modifiers shows "Ctrl"; reading the
    // modifiers back from that text would store Ctrl + Ctrl.
    EXPECT_EQ(BindingToSave(u"Ctrl", 17, B(0, 17)), B(0, 17));
    EXPECT_EQ(BindingToSave(u"无", 0, B(2, 0)), B(2, 0));
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
