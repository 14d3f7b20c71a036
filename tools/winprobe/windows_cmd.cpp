// windows, find, waitgone: what windows exist, as the tests see them.
#include <cstdlib>

#include "probe.h"

namespace probe {
namespace {

struct Filter {
    bool hasClass = false, hasTitle = false, visibleOnly = false;
    std::wstring cls, title;
    DWORD pid = 0;
};

bool ReadFilter(const Args& args, Filter* f) {
    f->hasClass = args.Has(L"class");
    f->cls = args.Get(L"class");
    f->hasTitle = args.Has(L"title");
    f->title = args.Get(L"title");
    f->visibleOnly = args.Has(L"visible");
    if (args.Has(L"pid")) {
        long long pid = 0;
        if (!ParseNumber(args.Get(L"pid"), &pid)) return false;
        f->pid = static_cast<DWORD>(pid);
    }
    return true;
}

std::wstring ClassOf(HWND w) {
    wchar_t buf[260] = {};
    int n = ::GetClassNameW(w, buf, 260);
    return std::wstring(buf, n > 0 ? n : 0);
}

// InternalGetWindowText sends no message, so a hung window cannot hang the probe.
std::wstring TitleOf(HWND w) {
    std::wstring buf(32768, L'\0');
    int n = ::InternalGetWindowText(w, &buf[0], static_cast<int>(buf.size()));
    buf.resize(n > 0 ? n : 0);
    return buf;
}

long long Num(HWND w) { return static_cast<long long>(reinterpret_cast<INT_PTR>(w)); }

bool Matches(HWND w, const Filter& f) {
    if (f.hasClass && ClassOf(w) != f.cls) return false;
    if (f.hasTitle && TitleOf(w) != f.title) return false;
    if (f.visibleOnly && !::IsWindowVisible(w)) return false;
    if (f.pid) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid != f.pid) return false;
    }
    return true;
}

Json Describe(HWND w) {
    RECT r = {};
    ::GetWindowRect(w, &r);
    RECT c = {};
    ::GetClientRect(w, &c);
    DWORD pid = 0;
    DWORD tid = ::GetWindowThreadProcessId(w, &pid);
    HWND parent = ::GetAncestor(w, GA_PARENT);
    if (parent == ::GetDesktopWindow()) parent = nullptr;
    LONG_PTR exstyle = ::GetWindowLongPtrW(w, GWL_EXSTYLE);
    Json j;
    j.Num("hwnd", Num(w))
        .Str("class", ClassOf(w))
        .Str("title", TitleOf(w))
        .Raw("rect", "{\"left\":" + std::to_string(r.left) + ",\"top\":" + std::to_string(r.top) +
                         ",\"right\":" + std::to_string(r.right) + ",\"bottom\":" + std::to_string(r.bottom) +
                         "}")
        .Raw("client", "{\"width\":" + std::to_string(c.right) + ",\"height\":" + std::to_string(c.bottom) + "}")
        .Bool("visible", ::IsWindowVisible(w) != FALSE)
        .Bool("enabled", ::IsWindowEnabled(w) != FALSE)
        .Bool("iconic", ::IsIconic(w) != FALSE)
        .Bool("zoomed", ::IsZoomed(w) != FALSE)
        .Num("parent", Num(parent))
        .Num("owner", Num(::GetWindow(w, GW_OWNER)))
        .Num("pid", pid)
        .Num("tid", tid)
        .Num("id", static_cast<long long>(::GetWindowLongPtrW(w, GWLP_ID)))
        .Num("style", static_cast<long long>(static_cast<DWORD>(::GetWindowLongPtrW(w, GWL_STYLE))))
        .Num("exstyle", static_cast<long long>(static_cast<DWORD>(exstyle)));
    BYTE alpha = 255;
    DWORD flags = 0;
    if ((exstyle & WS_EX_LAYERED) && ::GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) &&
        (flags & LWA_ALPHA))
        j.Num("alpha", alpha);
    return j;
}

struct Walk {
    const Filter* filter;
    bool children;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    auto* walk = reinterpret_cast<Walk*>(lp);
    if (Matches(w, *walk->filter)) walk->found.push_back(w);
    return TRUE;
}

BOOL CALLBACK CollectTop(HWND w, LPARAM lp) {
    auto* walk = reinterpret_cast<Walk*>(lp);
    if (Matches(w, *walk->filter)) walk->found.push_back(w);
    // EnumChildWindows already walks every level below w.
    if (walk->children) ::EnumChildWindows(w, CollectChild, lp);
    return TRUE;
}

std::vector<HWND> Collect(const Filter& f, bool children) {
    Walk walk{&f, children, {}};
    ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

DWORD TimeoutOf(const Args& args, DWORD fallback) {
    long long ms = fallback;
    if (args.Has(L"timeout") && !ParseNumber(args.Get(L"timeout"), &ms)) return fallback;
    return ms < 0 ? 0 : static_cast<DWORD>(ms);
}

}  // namespace

int CmdWindows(const Args& args) {
    Filter f;
    if (!ReadFilter(args, &f)) return Fail(kUsage, L"bad --pid");
    for (HWND w : Collect(f, args.Has(L"children"))) Describe(w).Print();
    return kOk;
}

int CmdFind(const Args& args) {
    Filter f;
    if (!ReadFilter(args, &f)) return Fail(kUsage, L"bad --pid");
    if (!f.hasClass && !f.hasTitle && !f.pid) return Fail(kUsage, L"find needs --class, --title or --pid");
    DWORD timeout = TimeoutOf(args, 10000);
    DWORD start = ::GetTickCount();
    for (;;) {
        std::vector<HWND> found = Collect(f, args.Has(L"children"));
        if (!found.empty()) {
            for (HWND w : found) Describe(w).Print();
            return kOk;
        }
        if (::GetTickCount() - start >= timeout) break;
        ::Sleep(50);
    }
    return Fail(kFailed, L"no window with class \"" + f.cls + L"\" title \"" + f.title + L"\" after " +
                             std::to_wstring(timeout) + L" ms");
}

// The text a control holds (an edit's contents are not its caption), asked with WM_GETTEXT
// under a time limit.
int CmdGetText(const Args& args) {
    HWND w = nullptr;
    if (args.Positional().size() != 1 || !ParseWindow(args.Positional()[0], &w))
        return Fail(kUsage, L"usage: gettext HWND");
    if (!::IsWindow(w)) return Fail(kFailed, L"no such window");
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return Fail(kFailed, L"the window does not answer");
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, 5000,
                               &copied))
        return Fail(kFailed, L"the window does not answer");
    text.resize(copied < text.size() ? copied : text.size() - 1);
    Json().Num("hwnd", Num(w)).Str("text", text).Print();
    return kOk;
}

int CmdWaitGone(const Args& args) {
    HWND w = nullptr;
    if (args.Positional().size() != 1 || !ParseWindow(args.Positional()[0], &w))
        return Fail(kUsage, L"usage: waitgone HWND [--timeout MS]");
    DWORD timeout = TimeoutOf(args, 10000);
    DWORD start = ::GetTickCount();
    while (::IsWindow(w)) {
        if (::GetTickCount() - start >= timeout) return Fail(kFailed, L"the window still exists");
        ::Sleep(50);
    }
    Json().Num("hwnd", Num(w)).Bool("gone", true).Print();
    return kOk;
}

}  // namespace probe
