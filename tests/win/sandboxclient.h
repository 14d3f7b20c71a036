// The Win32 tests' side of the sandbox server: its control endpoints over plain WinINet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "operator_config.h"

namespace sandbox {

inline const std::wstring& Base() {
    static const std::wstring base = fw::W(TAMSOLO_UPDATE_HOST);
    return base;
}

inline bool Control(const std::wstring& pathAndQuery, std::string* body = nullptr) {
    fw::InternetHandle session(::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return false;
    fw::InternetHandle url(::InternetOpenUrlW(session.Get(), (Base() + pathAndQuery).c_str(), nullptr, 0,
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!url) return false;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::InternetReadFile(url.Get(), buffer, sizeof buffer, &got) && got > 0) text.append(buffer, got);
    if (body) *body = text;
    return true;
}

// Query-string escaping of UTF-8 text.
inline std::wstring Escape(const std::wstring& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : fw::ToUtf8(text)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.') {
            out.push_back(static_cast<wchar_t>(c));
        } else {
            out += L'%';
            out.push_back(static_cast<wchar_t>(kHex[c >> 4]));
            out.push_back(static_cast<wchar_t>(kHex[c & 15]));
        }
    }
    return out;
}

inline bool Set(const std::wstring& path, const std::wstring& settings) {
    return Control(L"/__sandbox/set?path=" + path + L"&" + settings);
}

// The body in the system's ANSI code page, as the operator's Chinese files are.
inline bool SetText(const std::wstring& path, const std::wstring& body) {
    return Set(path, L"mode=ok&charset=gbk&body=" + Escape(body));
}

inline std::string Requests() {
    std::string json;
    Control(L"/__sandbox/requests", &json);
    return json;
}

// A file of this program's folder as the (Linux) server sees it: the bed maps Z: to "/".
inline std::wstring ServerPathBesideProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    p = p.substr(0, p.find_last_of(L'\\') + 1) + name;
    if (p.size() > 2 && (p[0] == L'Z' || p[0] == L'z') && p[1] == L':') p = p.substr(2);
    for (wchar_t& c : p) {
        if (c == L'\\') c = L'/';
    }
    return p;
}

}  // namespace sandbox
