// Compiled into each executable with its own definitions. The product starts its page
// processes from its own executable; the test build lets an end-to-end test name a stand-in
// page program (TAMSOLO_TEST_PAGE_PROGRAM) so the main window can be driven across processes
// without a login page.
#include "mainwnd/pageprogram_win.h"

#include <windows.h>

#include "framework/paths_win.h"

namespace mainwnd {

#ifdef TAMSOLO_TEST_BUILD
std::wstring PageProgramPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"TAMSOLO_TEST_PAGE_PROGRAM", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return path;
    return fw::ExePath();
}
#else
std::wstring PageProgramPath() { return fw::ExePath(); }
#endif

}  // namespace mainwnd
