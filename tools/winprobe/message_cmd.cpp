// send, post, copydata: messages to another process's window, as the launcher's own processes send them.
#include "probe.h"

namespace probe {
namespace {

struct Message {
    HWND wnd = nullptr;
    long long msg = 0, wparam = 0, lparam = 0;
};

bool ReadMessage(const Args& args, Message* m) {
    const auto& p = args.Positional();
    return p.size() == 4 && ParseWindow(p[0], &m->wnd) && ParseNumber(p[1], &m->msg) &&
           ParseNumber(p[2], &m->wparam) && ParseNumber(p[3], &m->lparam);
}

DWORD TimeoutOf(const Args& args) {
    long long ms = 5000;
    if (args.Has(L"timeout")) ParseNumber(args.Get(L"timeout"), &ms);
    return ms <= 0 ? 1 : static_cast<DWORD>(ms);
}

// A bounded SendMessage: a hung or slow target fails the probe instead of hanging the test.
int SendAndReport(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeout) {
    if (!::IsWindow(wnd)) return Fail(kFailed, L"no such window");
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, timeout, &result)) {
        DWORD err = ::GetLastError();
        return Fail(kFailed, L"SendMessageTimeout failed (error " + std::to_wstring(err) + L")");
    }
    Json().Num("result", static_cast<long long>(result)).Print();
    return kOk;
}

bool ParseHexBytes(const std::wstring& hex, std::vector<BYTE>* out) {
    if (hex.size() % 2) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        long long v = 0;
        if (!ParseNumber(L"0x" + hex.substr(i, 2), &v)) return false;
        out->push_back(static_cast<BYTE>(v));
    }
    return true;
}

}  // namespace

int CmdSend(const Args& args) {
    Message m;
    if (!ReadMessage(args, &m)) return Fail(kUsage, L"usage: send HWND MSG WPARAM LPARAM [--timeout MS]");
    return SendAndReport(m.wnd, static_cast<UINT>(m.msg), static_cast<WPARAM>(m.wparam),
                         static_cast<LPARAM>(m.lparam), TimeoutOf(args));
}

int CmdPost(const Args& args) {
    Message m;
    if (!ReadMessage(args, &m)) return Fail(kUsage, L"usage: post HWND MSG WPARAM LPARAM");
    if (!::PostMessageW(m.wnd, static_cast<UINT>(m.msg), static_cast<WPARAM>(m.wparam),
                        static_cast<LPARAM>(m.lparam)))
        return Fail(kFailed, L"PostMessage failed (error " + std::to_wstring(::GetLastError()) + L")");
    Json().Bool("posted", true).Print();
    return kOk;
}

// The payload is the text in UTF-16 with its terminator (as the launcher's processes send it),
// or exactly the given bytes with --hex, so that malformed payloads can be tried too.
int CmdCopyData(const Args& args) {
    const auto& p = args.Positional();
    HWND wnd = nullptr;
    long long dwData = 0;
    bool hex = args.Has(L"hex");
    if (p.size() != (hex ? 2u : 3u) || !ParseWindow(p[0], &wnd) || !ParseNumber(p[1], &dwData))
        return Fail(kUsage, L"usage: copydata HWND DWDATA TEXT | copydata HWND DWDATA --hex BYTES");
    HWND from = nullptr;
    if (args.Has(L"from") && !ParseWindow(args.Get(L"from"), &from)) return Fail(kUsage, L"bad --from");
    std::vector<BYTE> payload;
    if (hex) {
        if (!ParseHexBytes(args.Get(L"hex"), &payload)) return Fail(kUsage, L"bad --hex bytes");
    } else {
        const std::wstring& text = p[2];
        size_t units = text.size() + (args.Has(L"no-terminator") ? 0 : 1);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        payload.assign(bytes, bytes + units * sizeof(wchar_t));
    }
    COPYDATASTRUCT cds = {};
    cds.dwData = static_cast<ULONG_PTR>(dwData);
    cds.cbData = static_cast<DWORD>(payload.size());
    cds.lpData = payload.empty() ? nullptr : payload.data();
    return SendAndReport(wnd, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&cds),
                         TimeoutOf(args));
}

}  // namespace probe
