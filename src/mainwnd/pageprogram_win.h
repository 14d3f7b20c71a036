// The program a page process is started from: the launcher's own executable.
#pragma once

#include <string>

namespace mainwnd {

// Full path of the program the main window starts its page processes with.
std::wstring PageProgramPath();

}  // namespace mainwnd
