// Puts the operator's notice or the game-hall download on screen against the sandbox server so
// they can be looked at and screenshotted under Wine; ends by itself after the given seconds.
//   noticedemo pictext|picture|text [seconds]   the notice in that layout, beside a stand-in main window
//   noticedemo download [seconds]               the game-hall download in the middle of a slow installer
// The launcher's resources are read from Tamsolo.exe beside this program; the pictures are the
// build's notice_test.jpg and poster_test.jpg, served through the sandbox.
#include <windows.h>
#include <commctrl.h>

#include <process.h>

#include <string>

#include "dialogs/downgamedlg_win.h"
#include "dialogs/popinfo_win.h"
#include "framework/app_win.h"
#include "framework/dialog_win.h"
#include "../sandboxclient.h"

namespace {

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

unsigned __stdcall EndAfter(void* seconds) {
    ::Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(seconds)) * 1000);
    ::ExitProcess(0);
}

int Loop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (fw::WalkPreTranslateFilters(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

int ShowNotice(const std::wstring& layout) {
    const bool text = layout != L"picture";
    const bool picture = layout != L"text";
    sandbox::Set(L"/notice/demo.jpg", L"mode=ok&file=" + sandbox::ServerPathBesideProgram(
                                                           layout == L"picture" ? L"poster_test.jpg" : L"notice_test.jpg"));
    const std::wstring notice =
        L"20261208|2099-12-31|新服「星火」今日开启|" + sandbox::Base() + L"/hall/|" +
        (text ? L"新服开启七日内登录即送坐骑与双倍经验，快来与好友一起冒险吧！更多活动请看官网公告。" : L"") + L"|" +
        (picture ? sandbox::Base() + L"/notice/demo.jpg" : L"") + L"|1";
    sandbox::SetText(L"/notice/demo.txt", notice);

    const HWND main = ::CreateWindowExW(0, L"#32770", L"kelvra - Brennic", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40,
                                        400, 200, nullptr, nullptr, nullptr, nullptr);
    dialogs::CPopInfoDlg dlg(main);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dlg.noticeAddress = sandbox::Base() + L"/notice/demo.txt";
    dlg.statisticsFile = std::wstring(temp) + L"noticedemo_Statistic.ini";
    ::DeleteFileW(dlg.statisticsFile.c_str());
    dlg.pictureFile = std::wstring(temp) + L"noticedemo_PopWnd.jpg";
    dlg.Create(main);
    return Loop();
}

int ShowDownload() {
    sandbox::SetText(L"/update/ConfigDemoHall.htm", L"[VerKey]\r\nUpdAddr=" + sandbox::Base() + L"/hall/DemoSetup.exe\r\n");
    sandbox::Set(L"/hall/DemoSetup.exe", L"mode=slow&delay=0.6&size=400000");
    dialogs::CDownGameDlg dlg(L"DemoHall", nullptr);
    return static_cast<int>(dlg.DoModal());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HMODULE resources = ::LoadLibraryExW((ExeDir() + L"Tamsolo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!resources) return 100;
    fw::SetResourceModule(resources);

    const std::wstring what = argc > 1 ? argv[1] : L"pictext";
    const uintptr_t seconds = argc > 2 ? static_cast<uintptr_t>(_wtoi(argv[2])) : 10;
    ::CloseHandle(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, EndAfter, reinterpret_cast<void*>(seconds), 0, nullptr)));
    if (what == L"download") return ShowDownload();
    return ShowNotice(what);
}
