// Hand-over point: uninstallation is not built yet.
#include "app/uninstall_win.h"

#include "app/quorvane3app_win.h"
#include "framework/trace_win.h"

namespace app {

void Uninstall(CQuorvane3App& app) {
    fw::Trace(L"uninstall");
    ::SetEvent(app.requestTaken.Get());
    ::SetEvent(app.requestDone.Get());
}

}  // namespace app
