// Opens the hotkey settings dialog or the add-account pop-up so they can be looked at and
// screenshotted under Wine; ends by itself after the given number of seconds.
//   extrasdemo settings [seconds]   the settings dialog with the keys of Statistic.ini
//   extrasdemo conflict [seconds]   the same with boss and sound keys off, OK pressed
//   extrasdemo addacc [seconds]     a stand-in main window with the pop-up under its label
// The launcher's resources are read from Tamsolo.exe beside this program.
#include <windows.h>
#include <commctrl.h>

#include <process.h>

#include <string>

#include "dialogs/addaccdlg_win.h"
#include "framework/app_win.h"
#include "framework/dialog_win.h"
#include "mainwnd/settingdlg_win.h"

namespace {

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    const size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

unsigned __stdcall EndAfter(void* seconds) {
    ::Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(seconds)) * 1000);
    ::ExitProcess(0);
}

class CConflictDemo : public mainwnd::CSettingDlg {
public:
    CConflictDemo() : CSettingDlg(nullptr) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CSettingDlg::OnInitDialog();
        ::SetDlgItemTextW(m_hWnd, mainwnd::IDC_BOSS_EDIT, L"无");
        ::SetDlgItemTextW(m_hWnd, mainwnd::IDC_SOUND_EDIT, L"无");
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return r;
    }
};

int ShowAddAccount() {
    const HWND main = ::CreateWindowExW(0, L"#32770", L"kelvra - Brennic", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40,
                                        720, 300, nullptr, nullptr, nullptr, nullptr);
    RECT client{};
    ::GetClientRect(main, &client);
    const HWND label = ::CreateWindowExW(0, L"STATIC", L"登录其他账号", WS_CHILD | WS_VISIBLE, client.right - 285, 7, 92,
                                         16, main, nullptr, nullptr, nullptr);
    RECT onScreen{};
    ::GetWindowRect(label, &onScreen);
    dialogs::CAddAccDlg popup;
    popup.ShowUnder(main, onScreen);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (fw::WalkPreTranslateFilters(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HMODULE resources = ::LoadLibraryExW((ExeDir() + L"Tamsolo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!resources) return 100;
    fw::SetResourceModule(resources);

    const std::wstring what = argc > 1 ? argv[1] : L"settings";
    const uintptr_t seconds = argc > 2 ? static_cast<uintptr_t>(_wtoi(argv[2])) : 10;
    ::CloseHandle(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, EndAfter, reinterpret_cast<void*>(seconds), 0, nullptr)));

    if (what == L"addacc") return ShowAddAccount();
    if (what == L"conflict") {
        CConflictDemo dlg;
        return static_cast<int>(dlg.DoModal());
    }
    mainwnd::CSettingDlg dlg(nullptr);
    return static_cast<int>(dlg.DoModal());
}
