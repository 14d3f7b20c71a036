// Hand-over point: the main window is not built yet; the process ends here.
#include "mainwnd/mainwnd_win.h"

#include "framework/trace_win.h"

namespace app {

void RunMainWindow(CQuorvane3App&) { fw::Trace(L"main-window"); }

}  // namespace app
