// The three hotkey bindings of this process, loaded from the Statistic.ini beside the
// running executable (the statistics file whenever the launcher runs installed).
#pragma once

#include <windows.h>

#include "mainwnd/hotkey.h"

namespace mainwnd {

struct HotkeySet {
    tamsolo::HotkeyBinding boss;
    tamsolo::HotkeyBinding windowSwitch;
    tamsolo::HotkeyBinding sound;
};

// This process's bindings (all -1/-1 until loaded).
HotkeySet& Hotkeys();

// One binding from section "Tamsolo" of the Statistic.ini beside the executable, with its
// default text when the file or key is missing.
tamsolo::HotkeyBinding LoadHotkeyBinding(const tamsolo::HotkeyKey& key);
// Loads all three into Hotkeys().
void LoadAllHotkeys();
// Writes one binding in its stored form; false when the file could not be written.
bool StoreHotkeyBinding(const tamsolo::HotkeyKey& key, const tamsolo::HotkeyBinding& binding);

// Ctrl/Shift/Alt now. The thread's own key state for window messages of this thread; the
// asynchronous state inside the low-level hook, where the thread's state is stale while
// another program has the focus.
int ModifiersFromThreadState();
int ModifiersFromAsyncState();

}  // namespace mainwnd
