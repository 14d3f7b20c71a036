// menu: the items of the pop-up menu being tracked on the screen, read from its window.
#include "probe.h"

namespace probe {

namespace {

constexpr UINT kMnGetHMenu = 0x01E1;  // MN_GETHMENU

HWND FindTrackedMenu() {
    HWND found = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        if (::IsWindowVisible(w)) {
            found = w;
            break;
        }
    }
    return found;
}

}  // namespace

// One line per item: position, id, text, separator; just the window when the items cannot be read.
int CmdMenu(const Args& args) {
    long long timeout = 5000;
    if (args.Has(L"timeout")) ParseNumber(args.Get(L"timeout"), &timeout);
    const DWORD start = ::GetTickCount();
    HWND wnd = nullptr;
    for (;;) {
        wnd = FindTrackedMenu();
        if (wnd || ::GetTickCount() - start > static_cast<DWORD>(timeout)) break;
        ::Sleep(100);
    }
    if (!wnd) return Fail(kFailed, L"no menu is open");
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, kMnGetHMenu, 0, 0, SMTO_NORMAL, 5000, &result) || !result) {
        return Fail(kFailed, L"the menu window gave no menu");
    }
    HMENU menu = reinterpret_cast<HMENU>(result);
    // Wine keeps menus per process: another program's menu may not be readable from here.
    const int count = ::GetMenuItemCount(menu);
    if (count < 0) {
        Json().Num("menu_window", static_cast<long long>(reinterpret_cast<INT_PTR>(wnd))).Num("items", -1).Print();
        return kOk;
    }
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        Json()
            .Num("index", i)
            .Num("id", static_cast<long long>(static_cast<int>(info.wID)))
            .Str("text", text)
            .Bool("separator", (info.fType & MFT_SEPARATOR) != 0)
            .Num("menu_window", static_cast<long long>(reinterpret_cast<INT_PTR>(wnd)))
            .Print();
    }
    return kOk;
}

}  // namespace probe
