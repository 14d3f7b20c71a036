// The window messages by which the launcher's processes talk to each other: the main window,
// its page processes, other launcher windows and the settings dialog. Portable: the numbers
// are the Win32 values, spelled out so that the rules can name them too.
#pragma once

#include <cstddef>

namespace tamsolo {

constexpr unsigned kWmUser = 0x0400;

// Tray icon callback (wParam icon id 1, lParam the mouse message).
constexpr unsigned kMsgTrayCallback = kWmUser + 1;
// A page process's frame registers (wParam frame window, lParam 1 = game-list page).
constexpr unsigned kMsgRegisterFrame = kWmUser + 2;
// The main window opens its tray menu.
constexpr unsigned kMsgTrayMenu = kWmUser + 3;
// Any launcher main window: reload the hotkey bindings.
constexpr unsigned kMsgReloadHotkeys = kWmUser + 4;
// Main window to a page frame: the mute state (wParam 0 or 1).
constexpr unsigned kMsgMuteState = kWmUser + 5;
// The add-account choice answers (wParam 1 = a tab here, 0 = a new launcher window).
constexpr unsigned kMsgAddAccount = kWmUser + 6;
// Main window to a page frame: reload the hotkey bindings.
constexpr unsigned kMsgPageReloadHotkeys = kWmUser + 7;

// lParam of key and close messages the launcher generates itself.
constexpr long kSelfMarker = 5171;

// The window title of the main window, the game frame and every message box.
constexpr const char16_t* kAppTitle16 = u"kelvra - Brennic";

// A registration text is "server服-middle-account": short. Records beyond this many bytes
// (terminator included) are refused rather than stored.
constexpr std::size_t kMaxRegistrationBytes = 1024;

}  // namespace tamsolo
