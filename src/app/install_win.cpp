// Hand-over point: installation is not built yet.
#include "app/install_win.h"

#include "framework/trace_win.h"

namespace app {

bool Install() {
    fw::Trace(L"install");
    return false;
}

}  // namespace app
