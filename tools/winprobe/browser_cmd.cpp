// browser-navigate, browser-complete, browser-title: commands to the test channel that every
// browser host of the launcher's test build keeps beside its control.
#include <vector>

#include "probe.h"
#include "web/browserchannel.h"

namespace probe {
namespace {

std::wstring ChannelClass() {
    const std::u16string name = tamsolo::kBrowserChannelClass;
    return std::wstring(name.begin(), name.end());
}

struct Search {
    DWORD pid;
    std::wstring cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND wnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    wchar_t cls[64] = {};
    ::GetClassNameW(wnd, cls, 64);
    if (s->cls == cls) s->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectTop(HWND wnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid == s->pid) ::EnumChildWindows(wnd, &CollectChild, param);
    return TRUE;
}

// The channel of a process: the one whose page window is visible when there are several
// (a hidden sign-in page beside the login page, say), else the first.
HWND ChannelOfProcess(DWORD pid) {
    Search s{pid, ChannelClass(), {}};
    ::EnumWindows(&CollectTop, reinterpret_cast<LPARAM>(&s));
    for (HWND w : s.found)
        if (::IsWindowVisible(::GetParent(w))) return w;
    return s.found.empty() ? nullptr : s.found.front();
}

int SendChannel(const Args& args, tamsolo::ChannelCommand command, const wchar_t* usage) {
    const auto& p = args.Positional();
    if (p.size() != 1 || args.Has(L"pid") == args.Has(L"hwnd")) return Fail(kUsage, usage);
    HWND channel = nullptr;
    if (args.Has(L"hwnd")) {
        if (!ParseWindow(args.Get(L"hwnd"), &channel)) return Fail(kUsage, L"bad --hwnd");
    } else {
        long long pid = 0;
        if (!ParseNumber(args.Get(L"pid"), &pid)) return Fail(kUsage, L"bad --pid");
        long long wait = 5000;
        if (args.Has(L"timeout")) ParseNumber(args.Get(L"timeout"), &wait);
        const DWORD start = ::GetTickCount();
        while (!(channel = ChannelOfProcess(static_cast<DWORD>(pid))) &&
               ::GetTickCount() - start < static_cast<DWORD>(wait))
            ::Sleep(100);
        if (!channel) return Fail(kFailed, L"no browser channel in process " + std::to_wstring(pid));
    }
    if (!::IsWindow(channel)) return Fail(kFailed, L"no such window");
    const std::wstring& text = p[0];
    COPYDATASTRUCT cds = {};
    cds.dwData = static_cast<ULONG_PTR>(command);
    cds.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    cds.lpData = const_cast<wchar_t*>(text.c_str());
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(channel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000, &result))
        return Fail(kFailed, L"the channel did not answer (error " + std::to_wstring(::GetLastError()) + L")");
    if (result != 1) return Fail(kFailed, L"the channel refused the command");
    Json().Num("channel", static_cast<long long>(reinterpret_cast<INT_PTR>(channel))).Bool("sent", true).Print();
    return kOk;
}

}  // namespace

int CmdBrowserNavigate(const Args& args) {
    return SendChannel(args, tamsolo::ChannelCommand::kNavigate,
                       L"usage: browser-navigate (--pid N | --hwnd H) URL [--timeout MS]");
}

int CmdBrowserComplete(const Args& args) {
    return SendChannel(args, tamsolo::ChannelCommand::kNavigateComplete,
                       L"usage: browser-complete (--pid N | --hwnd H) URL [--timeout MS]");
}

int CmdBrowserTitle(const Args& args) {
    return SendChannel(args, tamsolo::ChannelCommand::kTitleChange,
                       L"usage: browser-title (--pid N | --hwnd H) TEXT [--timeout MS]");
}

}  // namespace probe
