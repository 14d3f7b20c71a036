// What the main window does to the frame of a page process. That frame belongs to another
// process, and a call that waits for its thread would freeze the launcher for as long as the
// page hangs: these calls never wait for it.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/handle_win.h"

namespace mainwnd {

void HidePage(HWND page);
// Moves the page to area (without repainting the old place), shows it and puts it on top of
// its sisters.
void ShowPageAt(HWND page, const RECT& area);
// Moves the page to area without repainting the old place; its visibility stays.
void MovePage(HWND page, const RECT& area);

// A page being let go, and the process it belongs to (held from the start, so that the process
// ended later can only be that page's, never one that took over its number meanwhile).
struct LetGo {
    fw::Handle process;
    fw::Handle thread;
};

// Lets go of a page: hidden at once; then, on a thread of its own, hidden again, given no
// parent and told to close (its process ends itself). With no thread to spare the page is
// only hidden and told to close, and nothing is returned.
LetGo LetGoOfPage(HWND page);

// Waits up to ms in all for the let-go threads, answering messages sent to this thread
// meanwhile; the finished ones are removed.
void WaitForLetGo(std::vector<LetGo>* pages, DWORD ms);
// Removes the let-go threads that have finished.
void ForgetFinishedLetGo(std::vector<LetGo>* pages);
// Ends the processes of the pages still not let go: their windows are still children of ours,
// and destroying ours waits for every child to answer. Waits up to ms for them to be gone.
void EndPagesNotLetGo(std::vector<LetGo>* pages, DWORD ms);

}  // namespace mainwnd
