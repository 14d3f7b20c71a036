// A page window of the launcher's kind on its own: a CDHtmDlgEx over the bare template, for
// the probe's browser commands and for screenshots of the control under Wine. Its title
// reports the last browser event ("before <url> cancel=1", "complete <url>", "error <url>
// status=N", "title <text>"), so a test reads it with the probe.
//   pagedemo [URL]
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/dialog_win.h"
#include "framework/text_win.h"
#include "web/dhtmdlgex_win.h"

namespace {

class CDemoPage : public web::CDHtmDlgEx {
public:
    explicit CDemoPage(const std::wstring& url) : web::CDHtmDlgEx(130, nullptr, url) {}

protected:
    void Report(const std::wstring& text) {
        ::SetWindowTextW(m_hWnd, text.c_str());
        std::printf("%s\n", fw::ToUtf8(text).c_str());
        std::fflush(stdout);
    }
    void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
        web::CDHtmDlgEx::OnBeforeNavigate(url, cancel);
        Report(L"before " + url + L" cancel=" + (*cancel ? L"1" : L"0"));
    }
    void OnNavigateComplete(const std::wstring& url, bool topLevel) override {
        web::CDHtmDlgEx::OnNavigateComplete(url, topLevel);
        Report(L"complete " + url);
    }
    void OnNavigateError(const std::wstring& url, long status, bool* cancel) override {
        web::CDHtmDlgEx::OnNavigateError(url, status, cancel);
        Report(L"error " + url + L" status=" + std::to_wstring(status));
    }
    void OnTitleChange(const std::wstring& title) override { Report(L"title " + title); }
    void OnCancel() override { ::PostQuitMessage(0); }
};

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    const size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The dialog template comes from the launcher beside this program.
    HMODULE resources = ::LoadLibraryExW((ExeDir() + L"Tamsolo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!resources) return 100;
    fw::SetResourceModule(resources);
    CDemoPage page(argc > 1 ? argv[1] : L"");
    if (!page.Create()) return 1;
    if (!page.Browser().IsCreated()) {
        std::printf("no browser control\n");
        return 1;
    }
    ::SetWindowPos(page.m_hWnd, nullptr, 80, 60, 640, 420, SWP_NOZORDER | SWP_SHOWWINDOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
