// CFavDlg: stores the current game page as an Internet Explorer favourite (a .url file in the
// user's favourites folder), under a name the player may change.
#pragma once

#include <windows.h>

#include <string>

#include "framework/dialog_win.h"

namespace dialogs {

class CFavDlg : public fw::CDialog {
public:
    CFavDlg(const std::wstring& defaultName, const std::wstring& url, HWND parent);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::wstring defaultName_;
    std::wstring url_;
};

// Runs the favourites dialog modally for this page (title, address) over owner.
void AddToFavourites(const std::wstring& title, const std::wstring& url, HWND owner);

}  // namespace dialogs
