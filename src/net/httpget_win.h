// HttpGet: the launcher's one HTTP GET routine on WinINet, in the seven forms its callers need.
// Every form sends the same agent and headers, refuses a 404, needs a Content-Length and
// closes request, connection and session in that order whatever happens. No retries.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle_win.h"

namespace net {

// What a cancellable download keeps in its dialog object, so that the dialog's cancel can close
// them after stopping the worker. The member fills them while it runs and clears them when done.
struct DownloadHandles {
    fw::InternetHandle session;
    fw::InternetHandle connection;
    fw::InternetHandle request;
    fw::Handle file;
    // Closes whatever is open: the file, then request, connection and session.
    void CloseAll();
};

// Statistics request: the address must begin with "http://"; success is that the request was
// sent, nothing is read. On a failed connect or send, *lastError gets the system's error code.
bool HttpStatisticsRequest(const std::wstring& address, DWORD* lastError = nullptr);

// The operator's update configuration into `file` (512-byte chunks).
bool HttpUpdateConfig(const std::wstring& address, const std::wstring& file);

// The new executable into `file`, reporting the position (0-100) to `progress`; permitted hosts only.
bool HttpUpdateDownload(const std::wstring& address, const std::wstring& file, HWND progress,
                        DownloadHandles* handles);

// The notice text (under 1024 bytes, ANSI) into `text` (at most 1024 characters); permitted hosts only.
bool HttpNoticeText(const std::wstring& address, std::wstring* text);

// The notice picture into `file`; permitted hosts only.
bool HttpNoticePicture(const std::wstring& address, const std::wstring& file);

// The game-hall configuration into `file` (1024-byte chunks), cancellable.
bool HttpHallConfig(const std::wstring& address, const std::wstring& file, DownloadHandles* handles);

// The game-hall installer into `file`, reporting to `progress` and to `label` ("已加载  N%");
// permitted hosts only; cancellable.
bool HttpHallDownload(const std::wstring& address, const std::wstring& file, HWND progress, HWND label,
                      DownloadHandles* handles);

// Whether the address names one of the operator's permitted hosts.
bool IsPermitted(const std::wstring& address);

}  // namespace net
