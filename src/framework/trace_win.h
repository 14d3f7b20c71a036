// Hand-over trace of the test build: each named point of start-up appends one line to
// C:\tamsolo_trace.txt so end-to-end tests can see which way a process went. The product
// build compiles this to nothing.
#pragma once

#include <string>

namespace fw {

void Trace(const wchar_t* event);
void SetTraceMode(int mode);

// Test build only: "launched priority=0x.. show=N", how this process was started (its priority
// class and the show command of its start-up information, -1 when none was given). Trace
// writes it as the first line of every process.
std::wstring LaunchState();

}  // namespace fw
