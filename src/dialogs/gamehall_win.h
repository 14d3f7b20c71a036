// The game-hall download: fetches the hall's installer with a progress dialog and starts it.
#pragma once

#include <windows.h>

#include <string>

namespace dialogs {

// Runs the game-hall download dialog modally for the hall id (letters, digits, "_", "-").
void RunGameHallDownload(const std::wstring& hallId, HWND parent);

}  // namespace dialogs
