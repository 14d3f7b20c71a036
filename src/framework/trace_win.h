// Hand-over trace of the test build: each named point of start-up appends one line to
// C:\tamsolo_trace.txt so end-to-end tests can see which way a process went. The product
// build compiles this to nothing.
#pragma once

#include <string>

namespace fw {

void Trace(const wchar_t* event);
void SetTraceMode(int mode);

// Test build only: "launched show=N", the show command of this process's start-up information
// (-1 when its starter gave none). Trace writes it as the first line of every process. (Its
// priority class is not told: Wine ignores the priority class a process is created with.)
std::wstring LaunchState();

}  // namespace fw
