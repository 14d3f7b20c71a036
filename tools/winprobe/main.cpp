// winprobe COMMAND ...: see Usage() for the commands.
#include <cstdio>
#include <cwchar>

#include "probe.h"

namespace {

const wchar_t kUsageText[] =
    L"usage: winprobe COMMAND ...\n"
    L"  windows [--children] [--class C] [--title T] [--pid N]   list windows\n"
    L"  find [--class C] [--title T] [--pid N] [--visible] [--children] [--timeout MS]\n"
    L"  waitgone HWND [--timeout MS]                              wait until a window is destroyed\n"
    L"  gettext HWND                                              a control's text (WM_GETTEXT)\n"
    L"  findtext HWND LINE... [--face F] [--points N] [--weight W] [--timeout MS]\n"
    L"      whether each line is drawn in the window, read from its pixels (font: the dialogs'\n"
    L"      \"MS Shell Dlg\" 8 pt unless given); where, and the differing ink per mille\n"
    L"  send HWND MSG WPARAM LPARAM [--timeout MS]                SendMessage, prints the result\n"
    L"  post HWND MSG WPARAM LPARAM                               PostMessage\n"
    L"  copydata HWND DWDATA TEXT [--from HWND] [--no-terminator] [--hex BYTES] [--timeout MS]\n"
    L"  regread ROOT\\path [VALUE]                                 a value, or all values and subkeys\n"
    L"  ls DIR                                                    names, sizes, attributes\n"
    L"  shortcut FILE.lnk                                         what a shell link holds\n"
    L"  screenshot HWND|0 OUT.png [--print]                       a window (0: the screen) as PNG;\n"
    L"      --print asks the window to draw itself (WM_PRINT), else the pixels on the screen\n"
    L"  browser-navigate (--pid N | --hwnd H) URL [--timeout MS]  a page window of the test build\n"
    L"      navigates its control to URL (the control's own Navigate2, as a page script would)\n"
    L"  browser-complete (--pid N | --hwnd H) URL [--timeout MS]  raise navigate-complete and\n"
    L"      document-complete of the top level for URL, where Wine completes no document\n"
    L"  browser-title (--pid N | --hwnd H) TEXT [--timeout MS]    raise a title change\n"
    L"      --pid: the channel of that process (the one of a visible page first, waiting up to\n"
    L"      MS, 5000 by default); --hwnd: a channel window (class TamsoloBrowserTest) itself\n"
    L"  menu [--timeout MS]                                       items of the pop-up menu being tracked\n"
    L"numbers: decimal, 0x hex, or names such as WM_CLOSE, WM_USER+2, SC_CLOSE, VK_F5\n";

struct Command {
    const wchar_t* name;
    int (*run)(const probe::Args&);
    std::vector<std::wstring> flags;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Command commands[] = {
        {L"windows", probe::CmdWindows, {L"children", L"visible"}},
        {L"find", probe::CmdFind, {L"children", L"visible"}},
        {L"waitgone", probe::CmdWaitGone, {}},
        {L"gettext", probe::CmdGetText, {}},
        {L"findtext", probe::CmdFindText, {}},
        {L"send", probe::CmdSend, {}},
        {L"post", probe::CmdPost, {}},
        {L"copydata", probe::CmdCopyData, {L"no-terminator"}},
        {L"regread", probe::CmdRegRead, {}},
        {L"ls", probe::CmdLs, {}},
        {L"shortcut", probe::CmdShortcut, {}},
        {L"screenshot", probe::CmdScreenshot, {L"print"}},
        {L"browser-navigate", probe::CmdBrowserNavigate, {}},
        {L"browser-complete", probe::CmdBrowserComplete, {}},
        {L"browser-title", probe::CmdBrowserTitle, {}},
        {L"menu", probe::CmdMenu, {}},
    };
    if (argc < 2) return probe::Fail(probe::kUsage, kUsageText);
    for (const auto& c : commands) {
        if (std::wcscmp(c.name, argv[1]) != 0) continue;
        probe::Args args(argc, argv, 2, c.flags);
        if (!args.Ok()) return probe::Fail(probe::kUsage, args.Error());
        return c.run(args);
    }
    return probe::Fail(probe::kUsage, std::wstring(L"unknown command ") + argv[1] + L"\n" + kUsageText);
}
