// Hand-over trace of the test build: each named point of start-up appends one line to
// C:\tamsolo_trace.txt so end-to-end tests can see which way a process went. The product
// build compiles this to nothing.
#pragma once

namespace fw {

void Trace(const wchar_t* event);
void SetTraceMode(int mode);

}  // namespace fw
