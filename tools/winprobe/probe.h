// winprobe: a test-only program that runs inside the Wine prefix and reports on (or acts on)
// windows, the registry, files and shortcuts for the end-to-end tests. Every result is one
// JSON object per line in UTF-8 on stdout; failures exit non-zero with a message on stderr.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

// Exit codes: 0 done, 1 the thing asked about is missing or the action failed, 2 bad usage.
constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// The words after the command name, with "--name value" options and "--flag" switches split off.
class Args {
public:
    Args(int argc, wchar_t** argv, int first, const std::vector<std::wstring>& flags);
    const std::vector<std::wstring>& Positional() const { return positional_; }
    bool Has(const std::wstring& name) const;
    std::wstring Get(const std::wstring& name, const std::wstring& fallback = L"") const;
    bool Ok() const { return error_.empty(); }
    const std::wstring& Error() const { return error_; }

private:
    std::vector<std::wstring> positional_;
    std::vector<std::pair<std::wstring, std::wstring>> options_;
    std::wstring error_;
};

// A number in decimal, 0x hex or a known constant name ("WM_CLOSE", "WM_USER+2", "SC_CLOSE").
bool ParseNumber(const std::wstring& text, long long* value);
bool ParseWindow(const std::wstring& text, HWND* wnd);

// One JSON object, written as a line.
class Json {
public:
    Json& Str(const char* key, const std::wstring& value);
    Json& Num(const char* key, long long value);
    Json& Bool(const char* key, bool value);
    Json& Raw(const char* key, const std::string& json);
    std::string Text() const { return "{" + body_ + "}"; }
    void Print() const;

private:
    void Key(const char* key);
    std::string body_;
};

std::string Utf8(const std::wstring& text);
std::string Quote(const std::wstring& text);
std::wstring Hex(const BYTE* data, size_t size);
int Fail(int code, const std::wstring& message);

int CmdWindows(const Args& args);
int CmdFind(const Args& args);
int CmdWaitGone(const Args& args);
int CmdGetText(const Args& args);
int CmdFindText(const Args& args);
int CmdSend(const Args& args);
int CmdPost(const Args& args);
int CmdCopyData(const Args& args);
int CmdRegRead(const Args& args);
int CmdLs(const Args& args);
int CmdShortcut(const Args& args);
int CmdScreenshot(const Args& args);
int CmdBrowserNavigate(const Args& args);
int CmdBrowserComplete(const Args& args);
int CmdBrowserTitle(const Args& args);
int CmdMenu(const Args& args);

}  // namespace probe
