// The browser's URL cache and the Flash player's stored data: the clear-cache job of the main
// menu and the game-loader purge a game page runs before it refreshes.
#pragma once

#include <windows.h>

#include "web/localfiles_win.h"

namespace web {

// Deletes every cached entry whose address holds "WMainLoader.swf?username=" (letter case
// ignored), cookies never. TRUE when the cache enumeration ran to its end.
BOOL PurgeGameLoader();

// Starts the clear-cache job on a worker thread: the Flash player's shared objects, then every
// cache entry but cookies and a sweep of the cache folder. When it has finished, `message` is
// posted to `notify` (if given) with wParam 1 when the job removed all it should, 0 when
// something stayed (see ClearingSucceeded). A folder that was not there counts as gone; the
// cache folder itself is swept but not counted, since WinINet keeps its index open in every
// process that used it. pagesRunning: game pages of ours are open, and may hold or load
// entries and files meanwhile. False when the thread could not be started (nothing is posted
// then).
bool StartCacheClearing(HWND notify, UINT message, bool pagesRunning);

// The job's verdict on what it left: nothing counts that running pages hold open.
bool ClearingSucceeded(const RemovalLeftovers& leftovers, bool pagesRunning);

}  // namespace web
