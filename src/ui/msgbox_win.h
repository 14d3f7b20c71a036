// The launcher's message box: every question and notice goes through it.
#pragma once

#include <windows.h>

#include <string>

// style 0: "确定"; 1: "确定" and "取消"; 4: "是" and "否". Returns IDOK, IDCANCEL, IDYES or IDNO.
int ShowMessageBox(int style, const std::wstring& title, const std::wstring& text, HWND owner);

// Every message box of the launcher carries this title unless stated otherwise.
constexpr const wchar_t* kAppTitle = L"kelvra - Brennic";
