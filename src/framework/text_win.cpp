#include "framework/text_win.h"

namespace fw {

namespace {

std::string Narrow(UINT codePage, const std::wstring& s) {
    if (s.empty()) return {};
    int n = ::WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Widen(UINT codePage, const std::string& s) {
    if (s.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

}  // namespace

std::string ToAnsi(const std::wstring& s) { return Narrow(CP_ACP, s); }
std::wstring FromAnsi(const std::string& s) { return Widen(CP_ACP, s); }
std::string ToUtf8(const std::wstring& s) { return Narrow(CP_UTF8, s); }
std::wstring FromUtf8(const std::string& s) { return Widen(CP_UTF8, s); }

}  // namespace fw
