// ls and shortcut: folders and shell links as a program inside the prefix sees them.
#include <objbase.h>
#include <shlobj.h>

#include "framework/handle_win.h"
#include "probe.h"

namespace probe {
namespace {

long long UnixSeconds(const FILETIME& ft) {
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return static_cast<long long>(t.QuadPart / 10000000ULL) - 11644473600LL;
}

// Each IShellLinkW getter fills a caller buffer; the longest fields (arguments) may be long.
template <class Getter>
std::wstring LinkText(Getter get) {
    std::wstring buf(32768, L'\0');
    if (FAILED(get(&buf[0], static_cast<int>(buf.size())))) return {};
    buf.resize(wcsnlen(buf.c_str(), buf.size()));
    return buf;
}

}  // namespace

int CmdLs(const Args& args) {
    if (args.Positional().size() != 1) return Fail(kUsage, L"usage: ls DIR");
    std::wstring dir = args.Positional()[0];
    if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    WIN32_FIND_DATAW fd;
    fw::FindHandle find(::FindFirstFileW((dir + L"*").c_str(), &fd));
    if (!find) return Fail(kFailed, L"cannot list " + args.Positional()[0]);
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        ULARGE_INTEGER size;
        size.LowPart = fd.nFileSizeLow;
        size.HighPart = fd.nFileSizeHigh;
        Json()
            .Str("name", name)
            .Num("size", static_cast<long long>(size.QuadPart))
            .Num("attributes", fd.dwFileAttributes)
            .Bool("dir", (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            .Num("mtime", UnixSeconds(fd.ftLastWriteTime))
            .Print();
    } while (::FindNextFileW(find.Get(), &fd));
    return kOk;
}

int CmdShortcut(const Args& args) {
    if (args.Positional().size() != 1) return Fail(kUsage, L"usage: shortcut FILE.lnk");
    const std::wstring& file = args.Positional()[0];
    fw::ComInit com;
    if (!com.Ok()) return Fail(kFailed, L"CoInitializeEx failed");
    fw::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.PutVoid())))
        return Fail(kFailed, L"cannot create a shell link object");
    fw::ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.PutVoid())))
        return Fail(kFailed, L"the shell link has no IPersistFile");
    if (FAILED(persist->Load(file.c_str(), STGM_READ))) return Fail(kFailed, L"cannot load " + file);
    int iconIndex = 0;
    std::wstring icon = LinkText([&](wchar_t* b, int n) { return link->GetIconLocation(b, n, &iconIndex); });
    int show = 0;
    link->GetShowCmd(&show);
    WORD hotkey = 0;
    link->GetHotkey(&hotkey);
    Json()
        .Str("file", file)
        .Str("target", LinkText([&](wchar_t* b, int n) { return link->GetPath(b, n, nullptr, SLGP_RAWPATH); }))
        .Str("arguments", LinkText([&](wchar_t* b, int n) { return link->GetArguments(b, n); }))
        .Str("icon", icon)
        .Num("icon_index", iconIndex)
        .Str("description", LinkText([&](wchar_t* b, int n) { return link->GetDescription(b, n); }))
        .Str("workdir", LinkText([&](wchar_t* b, int n) { return link->GetWorkingDirectory(b, n); }))
        .Num("show", show)
        .Num("hotkey", hotkey)
        .Print();
    return kOk;
}

}  // namespace probe
