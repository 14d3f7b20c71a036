// The portable rules speak UTF-16 as std::u16string; Windows speaks it as wchar_t.
// On Windows both are 16-bit units, so conversion is a copy.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 on Windows");

inline std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string U(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
inline std::u16string U(const wchar_t* s) { return s ? U(std::wstring(s)) : std::u16string(); }

// Text in the system's ANSI code page (936 on a Chinese Windows). Empty on failure.
std::string ToAnsi(const std::wstring& s);
std::wstring FromAnsi(const std::string& s);
std::string ToUtf8(const std::wstring& s);
std::wstring FromUtf8(const std::string& s);

}  // namespace fw
