// Reports what the Wine test bed must provide, for tests/e2e/test_testbed.py.
//   bedcheck locale       - the ANSI and OEM code pages and the user locale, as JSON
//   bedcheck font FACE    - whether a font asked for by FACE draws Chinese glyphs, as JSON
//   bedcheck window TITLE [layered]
//                         - a window with this title and a line of Chinese text in 微软雅黑
//                           (layered: a layered window at alpha 200, as the skinned ones are);
//                           it answers WM_USER+1 with wParam+lParam and WM_COPYDATA with the
//                           payload size, and ends with exit code 7 when it is closed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/handle_win.h"
#include "framework/text_win.h"

namespace {

const wchar_t kClass[] = L"TamsoloBedWindow";
const wchar_t kSample[] = L"中文显示测试 微软雅黑";
constexpr int kClosedExitCode = 7;

void PrintUtf8(const std::wstring& line) {
    std::string text = fw::ToUtf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::wstring JsonString(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'"' || c == L'\\') out += L'\\';
        if (c >= 0x20) out += c;
    }
    return out + L"\"";
}

fw::Font MakeFont(const wchar_t* face, int height) {
    LOGFONTW lf = {};
    lf.lfHeight = -height;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return fw::Font(::CreateFontIndirectW(&lf));
}

// The pixels of one character drawn in black on white; boxes for missing glyphs all look alike.
std::vector<COLORREF> DrawChar(HDC dc, wchar_t c) {
    const int size = 32;
    fw::Bitmap bitmap(::CreateCompatibleBitmap(dc, size, size));
    fw::MemoryDc mem(::CreateCompatibleDC(dc));
    std::vector<COLORREF> pixels;
    if (!bitmap || !mem) return pixels;
    fw::Selection selectBitmap(mem.Get(), bitmap.Get());
    fw::Selection selectFont(mem.Get(), ::GetCurrentObject(dc, OBJ_FONT));
    RECT r = {0, 0, size, size};
    ::FillRect(mem.Get(), &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(mem.Get(), RGB(0, 0, 0));
    ::SetBkMode(mem.Get(), TRANSPARENT);
    ::TextOutW(mem.Get(), 0, 0, &c, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(::GetPixel(mem.Get(), x, y));
    return pixels;
}

int ReportFont(const wchar_t* face) {
    fw::MemoryDc dc(::CreateCompatibleDC(nullptr));
    fw::Font font = MakeFont(face, 24);
    if (!dc || !font) return 1;
    fw::Selection select(dc.Get(), font.Get());
    wchar_t selected[LF_FACESIZE] = {};
    ::GetTextFaceW(dc.Get(), LF_FACESIZE, selected);
    const std::wstring sample = L"中文测试";
    std::vector<WORD> glyphs(sample.size());
    DWORD got = ::GetGlyphIndicesW(dc.Get(), sample.c_str(), static_cast<int>(sample.size()), glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS);
    int missing = 0;
    for (WORD g : glyphs) missing += (got == GDI_ERROR || g == 0xFFFF) ? 1 : 0;
    std::vector<COLORREF> a = DrawChar(dc.Get(), L'中');
    std::vector<COLORREF> b = DrawChar(dc.Get(), L'文');
    bool distinct = !a.empty() && a != b;
    PrintUtf8(L"{\"face\":" + JsonString(face) + L",\"selected\":" + JsonString(selected) +
              L",\"missing_glyphs\":" + std::to_wstring(missing) + L",\"distinct\":" +
              (distinct ? L"true" : L"false") + L"}");
    return 0;
}

int ReportLocale() {
    PrintUtf8(L"{\"acp\":" + std::to_wstring(::GetACP()) + L",\"oemcp\":" + std::to_wstring(::GetOEMCP()) +
              L",\"lcid\":" + std::to_wstring(::GetUserDefaultLCID()) + L",\"ui_language\":" +
              std::to_wstring(::GetUserDefaultUILanguage()) + L"}");
    return 0;
}

fw::Font g_textFont;

LRESULT CALLBACK BedWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        g_textFont = MakeFont(L"微软雅黑", 28);
        HWND label = ::CreateWindowExW(0, L"STATIC", kSample, WS_CHILD | WS_VISIBLE, 20, 20, 460, 60, wnd, nullptr,
                                       nullptr, nullptr);
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_textFont.Get()), TRUE);
        return 0;
    }
    case WM_USER + 1:
        return static_cast<LRESULT>(wp + lp);
    case WM_COPYDATA: {
        auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        return cds ? static_cast<LRESULT>(cds->cbData) : -1;
    }
    case WM_DESTROY:
        ::PostQuitMessage(kClosedExitCode);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

int ShowWindowUntilClosed(const wchar_t* title, bool layered) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BedWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    if (!::RegisterClassW(&wc)) return 1;
    HWND wnd = ::CreateWindowExW(layered ? WS_EX_LAYERED : 0, kClass, title, WS_OVERLAPPEDWINDOW, 100, 100, 520, 200,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    if (!wnd) return 1;
    if (layered) ::SetLayeredWindowAttributes(wnd, 0, 200, LWA_ALPHA);
    ::ShowWindow(wnd, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    g_textFont.Reset();
    return static_cast<int>(msg.wParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wcscmp(argv[1], L"locale") == 0) return ReportLocale();
    if (argc >= 3 && std::wcscmp(argv[1], L"font") == 0) return ReportFont(argv[2]);
    if (argc >= 3 && std::wcscmp(argv[1], L"window") == 0)
        return ShowWindowUntilClosed(argv[2], argc >= 4 && std::wcscmp(argv[3], L"layered") == 0);
    std::fputs("usage: bedcheck locale | font FACE | window TITLE [layered]\n", stderr);
    return 2;
}
