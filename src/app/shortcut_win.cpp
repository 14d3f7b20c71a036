#include "app/shortcut_win.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "framework/handle_win.h"

namespace app {

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& args,
                    const std::wstring& description) {
    fw::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.Put())))) {
        return false;
    }
    link->SetPath(target.c_str());
    link->SetIconLocation(target.c_str(), 0);
    fw::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) return false;
    link->SetArguments(args.c_str());
    if (!description.empty()) link->SetDescription(description.c_str());
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

bool ReadShortcut(const std::wstring& linkPath, ShortcutInfo* info) {
    fw::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.Put())))) {
        return false;
    }
    fw::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())))) return false;
    if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return false;
    wchar_t text[1024] = {};
    link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    info->target = text;
    text[0] = 0;
    link->GetArguments(text, 1024);
    info->args = text;
    text[0] = 0;
    link->GetDescription(text, 1024);
    info->description = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, 1024);
    info->workingDir = text;
    text[0] = 0;
    link->GetIconLocation(text, 1024, &info->iconIndex);
    info->iconPath = text;
    return true;
}

}  // namespace app
