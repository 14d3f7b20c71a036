#include "web/cachelimit_win.h"

#include <windows.h>

#include "framework/handle_win.h"

namespace app {

bool SetBrowserCacheLimit() {
    fw::RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Content", 0,
                        KEY_ALL_ACCESS, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    DWORD limit = 0x00100000;
    bool written = ::RegSetValueExW(key.Get(), L"CacheLimit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&limit),
                                    sizeof(limit)) == ERROR_SUCCESS;
    return written && ::RegCloseKey(key.Release()) == ERROR_SUCCESS;
}

}  // namespace app
