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

// Writes the Internet-shortcut file for url under name (made safe as a file name) into the
// user's favourites folder, in the ANSI code page. False, with nothing written, when the
// folder is unknown, the path or the text does not fit, or the file cannot be written.
bool WriteFavourite(const std::wstring& name, const std::wstring& url);

// Runs the favourites dialog modally for this page (title, address) over owner.
void AddToFavourites(const std::wstring& title, const std::wstring& url, HWND owner);

}  // namespace dialogs
