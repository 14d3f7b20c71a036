// Command-line words, numbers and the message and command names a test may write instead.
#include <cwchar>
#include <cerrno>

#include "probe.h"

namespace probe {

Args::Args(int argc, wchar_t** argv, int first, const std::vector<std::wstring>& flags) {
    for (int i = first; i < argc; ++i) {
        std::wstring word = argv[i];
        if (word.size() > 2 && word.compare(0, 2, L"--") == 0) {
            std::wstring name = word.substr(2);
            bool isFlag = false;
            for (const auto& f : flags) isFlag = isFlag || f == name;
            if (isFlag) {
                options_.emplace_back(name, L"");
            } else if (i + 1 < argc) {
                options_.emplace_back(name, argv[++i]);
            } else {
                error_ = L"option --" + name + L" needs a value";
            }
        } else {
            positional_.push_back(word);
        }
    }
}

bool Args::Has(const std::wstring& name) const {
    for (const auto& o : options_)
        if (o.first == name) return true;
    return false;
}

std::wstring Args::Get(const std::wstring& name, const std::wstring& fallback) const {
    for (const auto& o : options_)
        if (o.first == name) return o.second;
    return fallback;
}

namespace {

struct Named {
    const wchar_t* name;
    long long value;
};

const Named kNames[] = {
    {L"WM_NULL", WM_NULL},         {L"WM_CLOSE", WM_CLOSE},           {L"WM_QUIT", WM_QUIT},
    {L"WM_DESTROY", WM_DESTROY},   {L"WM_SHOWWINDOW", WM_SHOWWINDOW}, {L"WM_ACTIVATE", WM_ACTIVATE},
    {L"WM_SETFOCUS", WM_SETFOCUS}, {L"WM_KEYDOWN", WM_KEYDOWN},       {L"WM_KEYUP", WM_KEYUP},
    {L"WM_CHAR", WM_CHAR},         {L"WM_SYSKEYDOWN", WM_SYSKEYDOWN}, {L"WM_SYSKEYUP", WM_SYSKEYUP},
    {L"WM_COMMAND", WM_COMMAND},   {L"WM_SYSCOMMAND", WM_SYSCOMMAND}, {L"WM_TIMER", WM_TIMER},
    {L"WM_HOTKEY", WM_HOTKEY},     {L"WM_MOUSEMOVE", WM_MOUSEMOVE},   {L"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
    {L"WM_LBUTTONUP", WM_LBUTTONUP}, {L"WM_RBUTTONUP", WM_RBUTTONUP}, {L"WM_COPYDATA", WM_COPYDATA},
    {L"WM_USER", WM_USER},         {L"WM_APP", WM_APP},               {L"SC_CLOSE", SC_CLOSE},
    {L"SC_MINIMIZE", SC_MINIMIZE}, {L"SC_MAXIMIZE", SC_MAXIMIZE},     {L"SC_RESTORE", SC_RESTORE},
    {L"VK_RETURN", VK_RETURN},     {L"VK_ESCAPE", VK_ESCAPE},         {L"VK_TAB", VK_TAB},
    {L"VK_F5", VK_F5},             {L"VK_F10", VK_F10},               {L"IDOK", IDOK},
    {L"IDCANCEL", IDCANCEL},
};

bool ParsePlain(const std::wstring& text, long long* value) {
    if (text.empty()) return false;
    for (const auto& n : kNames) {
        if (_wcsicmp(n.name, text.c_str()) == 0) {
            *value = n.value;
            return true;
        }
    }
    errno = 0;
    wchar_t* end = nullptr;
    const wchar_t* s = text.c_str();
    // Unsigned parsing first so that 0xFFFFFFFFFFFFFFFF and large handle values survive.
    if (text[0] != L'-') {
        unsigned long long u = std::wcstoull(s, &end, 0);
        if (errno != 0 || end == s || *end != L'\0') return false;
        *value = static_cast<long long>(u);
        return true;
    }
    long long v = std::wcstoll(s, &end, 0);
    if (errno != 0 || end == s || *end != L'\0') return false;
    *value = v;
    return true;
}

}  // namespace

bool ParseNumber(const std::wstring& text, long long* value) {
    size_t plus = text.find(L'+', 1);
    if (plus == std::wstring::npos) return ParsePlain(text, value);
    long long a = 0, b = 0;
    if (!ParsePlain(text.substr(0, plus), &a) || !ParsePlain(text.substr(plus + 1), &b)) return false;
    *value = a + b;
    return true;
}

bool ParseWindow(const std::wstring& text, HWND* wnd) {
    long long v = 0;
    if (!ParseNumber(text, &v)) return false;
    *wnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(v));
    return true;
}

}  // namespace probe
