// A page process lives only as long as the main window that started it. The watch runs from
// the start of the process, through the login, its message boxes and the game frame.
#pragma once

#include <windows.h>

namespace web {

// The owner window is looked at every 800 ms by a thread timer, which every message loop of
// the interface thread serves (the login's, a message box's, the frame's): when the window is
// gone, the frame (if any) is shut down and the loops are told to quit. A thread of its own
// waits on the owner's process meanwhile; once that ends or the window is gone, the process
// gets kOwnerGraceMs for that orderly end and is then ended outright, so that an interface
// thread that hangs (or a loop that never quits) cannot keep it on screen.
constexpr UINT kOwnerCheckMs = 800;
constexpr DWORD kOwnerGraceMs = 1200;

// Starts the watch of this process's owner; false when nothing could be started. A null or
// already dead owner ends the process through the same path.
bool StartOwnerWatch(HWND owner);
// Ends the watch (the process is ending by itself).
void StopOwnerWatch();

}  // namespace web
