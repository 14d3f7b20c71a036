// Compiled into each executable with that executable's definitions, so only the test build traces.
#include "framework/trace_win.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace fw {

namespace {
int g_mode = -1;
}

void SetTraceMode(int mode) { g_mode = mode; }

#ifdef TAMSOLO_TEST_BUILD
void Trace(const wchar_t* event) {
    wchar_t line[512];
    std::swprintf(line, 512, L"pid=%lu mode=%d event=%ls\r\n", ::GetCurrentProcessId(), g_mode, event ? event : L"");
    std::string utf8 = ToUtf8(line);
    Handle file(::CreateFileW(L"C:\\tamsolo_trace.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
#else
void Trace(const wchar_t*) {}
#endif

}  // namespace fw
