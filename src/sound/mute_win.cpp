#include "sound/mute_win.h"

#include <windows.h>

#include <cstring>

#include "sound/intercept_win.h"
#include "sound/mute.h"

namespace sound {

namespace {

// Windows XP and older (major version 5 and below) have no per-process audio session: their
// mixer would mute the whole machine, so the process's own output is silenced instead.
bool HasPerProcessMixer() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    // RtlGetVersion tells the truth whatever the manifest claims; GetVersionEx is the fallback.
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const FARPROC proc = ntdll ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    RtlGetVersionFn rtlGetVersion = nullptr;
    static_assert(sizeof(rtlGetVersion) == sizeof(proc), "function pointers have one size");
    if (proc) std::memcpy(&rtlGetVersion, &proc, sizeof(proc));
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) {
        if (!::GetVersionExW(&info)) return true;
    }
    return info.dwMajorVersion > 5;
}

// Taken on the frame window's thread only.
tamsolo::sound::MuteRequestFilter g_requests;

}  // namespace

bool SetMute(int value) {
    static const bool mixer = HasPerProcessMixer();
    return mixer ? internal::SetMixerMute(value) : internal::SetMuteByInterception(value);
}

void OnMuteRequest(int value) {
    if (g_requests.Take(value)) SetMute(value);
}

}  // namespace sound
