// Hand-over point: the self-update is not built yet; no update is ever found.
#include "net/update_win.h"

#include "framework/trace_win.h"

namespace app {

int CheckForUpdate(bool forced, CQuorvane3App&) {
    fw::Trace(forced ? L"update-check forced" : L"update-check");
    return 0;
}

bool DownloadAndSwap(CQuorvane3App&) {
    fw::Trace(L"download-and-swap");
    return false;
}

void RecordUpdateDay() {}

void WriteUpdateDaySpread() {}

}  // namespace app
