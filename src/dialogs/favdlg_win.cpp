#include "dialogs/favdlg_win.h"

#include <shlobj.h>

#include <vector>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "web/favourite.h"

namespace dialogs {

namespace {

constexpr UINT kFavTemplate = 159;
constexpr UINT kNameEdit = 1018;

std::wstring FavouritesFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return folder;
}

std::wstring ItemText(HWND dialog, UINT id) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item) return {};
    const int length = ::GetWindowTextLengthW(item);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got = ::GetWindowTextW(item, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(got > 0 ? got : 0));
}

}  // namespace

CFavDlg::CFavDlg(const std::wstring& defaultName, const std::wstring& url, HWND parent)
    : fw::CDialog(kFavTemplate, parent), defaultName_(defaultName), url_(url) {}

BOOL CFavDlg::OnInitDialog() {
    fw::CDialog::OnInitDialog();
    ::SendDlgItemMessageW(m_hWnd, kNameEdit, EM_LIMITTEXT, tamsolo::kMaxFavouriteName, 0);
    // A page title may hold characters no file name can: propose a name that can be saved.
    ::SetDlgItemTextW(m_hWnd, kNameEdit, fw::W(tamsolo::FavouriteFileName(fw::U(defaultName_))).c_str());
    return TRUE;
}

void CFavDlg::OnOK() {
    const std::wstring name = ItemText(m_hWnd, kNameEdit);
    EndDialog(IDOK);
    WriteFavourite(name, url_);  // nothing is reported either way
}

bool WriteFavourite(const std::wstring& name, const std::wstring& url) {
    const std::u16string path = tamsolo::FavouritePath(fw::U(FavouritesFolder()), fw::U(name));
    const std::u16string text = tamsolo::FavouriteText(fw::U(url));
    if (path.empty() || text.empty()) return false;
    const std::string bytes = fw::ToAnsi(fw::W(text));
    if (bytes.empty() || bytes.size() > tamsolo::kMaxFavouriteText) return false;
    fw::Handle file(::CreateFileW(fw::W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void AddToFavourites(const std::wstring& title, const std::wstring& url, HWND owner) {
    CFavDlg dialog(title, url, owner);
    dialog.DoModal();
}

}  // namespace dialogs
