#include "mainwnd/settingdlg_win.h"

#include <string>
#include <vector>

#include "app/protocol.h"
#include "framework/text_win.h"
#include "mainwnd/hotkeys_win.h"
#include "ui/image_win.h"
#include "ui/msgbox_win.h"

namespace mainwnd {

namespace {

constexpr UINT kGroupBoxIds[] = {1017, 1012, 1013};
constexpr UINT kLabelIds[] = {1006, 1008, 1009, 1011, 1016, 1015};
constexpr COLORREF kGroupBoxColor = RGB(0xE7, 0xF1, 0xF7);
constexpr wchar_t kConflictText[] = L"热键冲突，请重新设置不同热键值";

bool IsGroupBox(HWND control) {
    const int id = ::GetDlgCtrlID(control);
    for (UINT groupId : kGroupBoxIds) {
        if (static_cast<UINT>(id) == groupId) return true;
    }
    return false;
}

std::wstring EditText(HWND edit) {
    const int length = ::GetWindowTextLengthW(edit);
    if (length <= 0) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(edit, &text[0], length + 1)));
    return text;
}

struct MainWindowSearch {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectMainWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<MainWindowSearch*>(param);
    wchar_t title[64] = {};
    wchar_t className[16] = {};
    ::GetWindowTextW(wnd, title, 64);
    ::GetClassNameW(wnd, className, 16);
    if (std::wstring(title) == reinterpret_cast<const wchar_t*>(tamsolo::kAppTitle16) &&
        std::wstring(className) == L"#32770") {
        search->found.push_back(wnd);
    }
    return search->found.size() < static_cast<size_t>(kMaxNotifiedMainWindows);
}

}  // namespace

int TellMainWindowsToReloadHotkeys() {
    MainWindowSearch search;
    ::EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND wnd : search.found) ::PostMessageW(wnd, tamsolo::kMsgReloadHotkeys, 0, 0);
    return static_cast<int>(search.found.size());
}

FW_BEGIN_MESSAGE_MAP(CCaptureEdit, fw::CWnd)
FW_ON_MESSAGE(WM_PASTE, OnRefusedEdit)
FW_ON_MESSAGE(WM_CUT, OnRefusedEdit)
FW_ON_MESSAGE(WM_CLEAR, OnRefusedEdit)
FW_ON_MESSAGE(WM_UNDO, OnRefusedEdit)
FW_ON_MESSAGE(EM_UNDO, OnRefusedEdit)
FW_ON_MESSAGE(WM_CHAR, OnRefusedEdit)
FW_ON_MESSAGE(WM_IME_CHAR, OnRefusedEdit)
FW_ON_MESSAGE(WM_CONTEXTMENU, OnRefusedEdit)
FW_END_MESSAGE_MAP()

FW_BEGIN_MESSAGE_MAP(CSettingDlg, tamsolo::ui::CDlgEx)
FW_ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
FW_ON_MESSAGE(WM_DESTROY, OnDestroy)
FW_END_MESSAGE_MAP()

CSettingDlg::CSettingDlg(HWND parent)
    : tamsolo::ui::CDlgEx(IDD_SETTING_DLG, parent),
      fields_{{IDC_BOSS_EDIT, tamsolo::HotkeyField::Boss, &tamsolo::kBossKey, &bossVk_, {}},
              {IDC_SWITCH_EDIT, tamsolo::HotkeyField::Switch, &tamsolo::kSwitchKey, &switchVk_, {}},
              {IDC_SOUND_EDIT, tamsolo::HotkeyField::Sound, &tamsolo::kSoundKey, &soundVk_, {}}} {}

void CSettingDlg::ApplySkin() {
    SetSmallDialogSkin(131);
    SetTitle(L"设置");
}

BOOL CSettingDlg::OnInitDialog() {
    tamsolo::ui::CDlgEx::OnInitDialog();
    ApplySkin();

    buttonImage_.Reset(tamsolo::ui::LoadSkinImage(fw::ResourceModule(), 133));
    // The buttons keep their template size; the strip's frames are stretched to it.
    if (ok_.SubclassDlgItem(IDOK, this)) ok_.SetImage(buttonImage_.Get(), false);
    if (cancel_.SubclassDlgItem(IDCANCEL, this)) cancel_.SetImage(buttonImage_.Get(), false);
    for (size_t i = 0; i < 6; ++i) labels_[i].SubclassDlgItem(kLabelIds[i], this);

    for (size_t i = 0; i < 3; ++i) edits_[i].SubclassDlgItem(fields_[i].editId, this);
    for (Field& field : fields_) {
        field.stored = LoadHotkeyBinding(*field.key);
        *field.vk = field.stored.vk;
        ::SetDlgItemTextW(m_hWnd, static_cast<int>(field.editId), fw::W(tamsolo::BindingText(field.stored)).c_str());
    }
    return TRUE;
}

CSettingDlg::Field* CSettingDlg::FieldOfWindow(HWND wnd) {
    if (!wnd) return nullptr;
    for (Field& field : fields_) {
        if (::GetDlgItem(m_hWnd, static_cast<int>(field.editId)) == wnd) return &field;
    }
    return nullptr;
}

void CSettingDlg::CaptureInto(Field& field, int key) {
    const tamsolo::FieldCapture capture = tamsolo::CaptureKey(field.kind, key, ModifiersFromThreadState(), *field.vk);
    *field.vk = capture.vk;
    const HWND edit = ::GetDlgItem(m_hWnd, static_cast<int>(field.editId));
    ::SetWindowTextW(edit, fw::W(capture.text).c_str());
    const LPARAM end = static_cast<LPARAM>(capture.text.size());
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

BOOL CSettingDlg::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd) return FALSE;
    const int key = static_cast<int>(msg->wParam);
    switch (tamsolo::ClassifyKeyMessage(msg->message, key)) {
        case tamsolo::KeyMessageAction::PassOn:
            return tamsolo::ui::CDlgEx::PreTranslateMessage(msg);
        case tamsolo::KeyMessageAction::Swallow:
            // Only keys meant for this dialog: the filter also sees messages of other windows.
            if (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)) return TRUE;
            return tamsolo::ui::CDlgEx::PreTranslateMessage(msg);
        case tamsolo::KeyMessageAction::Capture:
            break;
    }
    Field* field = FieldOfWindow(::GetFocus());
    if (!field) return tamsolo::ui::CDlgEx::PreTranslateMessage(msg);
    CaptureInto(*field, key);
    return TRUE;
}

void CSettingDlg::OnOK() {
    tamsolo::HotkeyBinding toSave[3];
    for (size_t i = 0; i < 3; ++i) {
        const Field& field = fields_[i];
        const std::wstring text = EditText(::GetDlgItem(m_hWnd, static_cast<int>(field.editId)));
        toSave[i] = tamsolo::BindingToSave(fw::U(text), *field.vk, field.stored);
    }
    if (tamsolo::AnyConflict(toSave[0], toSave[1], toSave[2])) {
        ShowMessageBox(0, kAppTitle, kConflictText, m_hWnd);
        return;
    }
    // A failed write is not reported: the old keys simply stay in force.
    for (size_t i = 0; i < 3; ++i) {
        StoreHotkeyBinding(*fields_[i].key, toSave[i]);
        fields_[i].stored = toSave[i];
    }
    TellMainWindowsToReloadHotkeys();
    EndDialog(IDOK);
}

LRESULT CSettingDlg::OnCtlColorStatic(WPARAM w, LPARAM l) {
    const HWND control = reinterpret_cast<HWND>(l);
    if (!IsGroupBox(control)) return Default();
    if (!groupBoxBrush_) groupBoxBrush_.Reset(::CreateSolidBrush(kGroupBoxColor));
    const HDC dc = reinterpret_cast<HDC>(w);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(groupBoxBrush_.Get());
}

LRESULT CSettingDlg::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    groupBoxBrush_.Reset();
    return result;
}

}  // namespace mainwnd
