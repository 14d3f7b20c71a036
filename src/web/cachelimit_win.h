// The browser cache size limit the launcher keeps for the game.
#pragma once

namespace app {

// Writes "CacheLimit" = 0x00100000 into the current user's cache content key (not created if
// missing). True if the value was written and the key closed.
bool SetBrowserCacheLimit();

}  // namespace app
