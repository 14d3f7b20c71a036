#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "framework/paths_win.h"
#include "app/quorvane3app_win.h"
#include "app/startmode.h"
#include "framework/text_win.h"

namespace app {

namespace {
HWND g_ownerWindow = nullptr;
int g_parentPageCount = 0;
}  // namespace

int ComputeStartMode() {
    std::vector<std::u16string> args;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv) {
        for (int i = 1; i < argc; ++i) args.push_back(fw::U(argv[i]));
        ::LocalFree(argv);
    }
    tamsolo::StartModeDecision d = tamsolo::DecideStartMode(args, fw::U(fw::ExePath()), fw::U(fw::InstallDir()));
    if (d.mode == tamsolo::kModeGamePage || d.mode == tamsolo::kModeGameHall) {
        // Handles travel as decimal numbers; the low 32 bits are what identifies a window.
        g_ownerWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(d.ownerWindow));
        g_parentPageCount = d.parentPageCount;
    }
    return d.mode;
}

HWND OwnerWindow() { return g_ownerWindow; }
int ParentPageCount() { return g_parentPageCount; }

}  // namespace app
