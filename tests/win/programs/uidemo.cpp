// Opens the skin kit's windows so they can be looked at and screenshotted under Wine.
//   uidemo msgbox <style> <lines>   the message box (style 0, 1 or 4; one or two lines of text)
//   uidemo frame                    a skinned frame with caption buttons, buttons, a label and
//                                   a progress bar at 50 %
// The launcher's resources are read from Tamsolo.exe beside this program. The exit code is
// the message box's result.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/dialog_win.h"
#include "ui/btnex_win.h"
#include "ui/dlgex_win.h"
#include "ui/image_win.h"
#include "ui/imgprogress_win.h"
#include "ui/msgbox_win.h"
#include "ui/msgboxdlg_win.h"
#include "ui/staticex_win.h"

using namespace tamsolo::ui;

namespace {

HBITMAP Skin(UINT id) { return LoadSkinImage(fw::ResourceModule(), id); }

class CDemoFrame : public CDlgEx {
public:
    CDemoFrame() : CDlgEx(kMessageBoxTemplate) {}

protected:
    BOOL OnInitDialog() override {
        CDlgEx::OnInitDialog();
        titleHeight = 30;
        borderWidth = 4;
        buttonRightMargin = 0;
        buttonTop = 0;
        resizable = true;
        HBITMAP close = Skin(132), minimize = Skin(136);
        SetSkin(Skin(134), false, true, close, minimize, Skin(135), Skin(137));
        ::DeleteObject(close);
        ::DeleteObject(minimize);
        ::SetWindowPos(m_hWnd, nullptr, 80, 60, 520, 300, SWP_NOZORDER);
        SetTitle(L"kelvra - Brennic");

        HBITMAP strip = Skin(133);
        const wchar_t* captions[] = {L"确定", L"取消", L"已禁用"};
        for (int i = 0; i < 3; ++i) {
            RECT r{30 + i * 80, 220, 30 + i * 80 + 57, 243};
            buttons_[i].Create(captions[i], WS_CHILD | WS_VISIBLE, r, m_hWnd, 100 + static_cast<UINT>(i));
            buttons_[i].SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
            buttons_[i].SetImage(strip, true);
            buttons_[i].SetTooltip(captions[i]);
        }
        ::EnableWindow(buttons_[2].m_hWnd, FALSE);
        RECT wide{280, 216, 280 + 110, 216 + 30};
        buttons_[3].Create(L"拉伸按钮", WS_CHILD | WS_VISIBLE, wide, m_hWnd, 103);
        buttons_[3].SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
        buttons_[3].SetImage(strip, false);
        ::DeleteObject(strip);

        RECT labelRect{30, 50, 30 + 200, 50 + 20};
        label_.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, labelRect, m_hWnd, 200);
        label_.text = L"皮肤标签会自己换行：这一段较长的中文说明文字\n在换行符处另起一行。";
        label_.textColor = RGB(0xdf, 0xf3, 0xff);
        label_.hoverColor = RGB(0xf2, 0xc1, 0x4e);
        label_.hoverEnabled = true;
        label_.linkCursor = true;
        HBITMAP account = Skin(142);
        label_.SetImage(account);
        ::DeleteObject(account);

        RECT barRect{60, 160, 60 + 10, 160 + 10};
        progress_.Create(WS_CHILD | WS_VISIBLE, barRect, m_hWnd, 300);
        progress_.SetImages(Skin(152), Skin(153));
        progress_.showText = true;
        progress_.textColor = RGB(255, 255, 255);
        progress_.SetPos(50);
        return TRUE;
    }

private:
    CBtnEx buttons_[4];
    CStaticEx label_;
    CImgProgress progress_;
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
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    HMODULE resources = ::LoadLibraryExW((ExeDir() + L"Tamsolo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!resources) return 100;
    fw::SetResourceModule(resources);

    const std::wstring what = argc > 1 ? argv[1] : L"frame";
    int result = 0;
    if (what == L"msgbox") {
        const int style = argc > 2 ? _wtoi(argv[2]) : 0;
        const int lines = argc > 3 ? _wtoi(argv[3]) : 1;
        const std::wstring text = lines > 1 ? L"kelvra - Brennic已成功移除，部分文件将在程序退出\r\n或计算机重启后自行删除"
                                            : L"确定要移除 kelvraBrennic极速登陆器吗？";
        result = ShowMessageBox(style, kAppTitle, text, nullptr);
    } else {
        CDemoFrame frame;
        result = static_cast<int>(frame.DoModal());
    }
    ::FreeLibrary(resources);
    return result;
}
