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

bool Intercepting() {
    static const bool intercepting = !HasPerProcessMixer();
    return intercepting;
}

}  // namespace

bool SetMute(int value) {
    return Intercepting() ? internal::SetMuteByInterception(value) : internal::SetMixerMute(value);
}

bool OnMuteRequest(int value) { return internal::TakeMuteRequest(g_requests, value, Intercepting()); }

namespace internal {

bool TakeMuteRequest(tamsolo::sound::MuteRequestFilter& requests, int value, bool intercepting) {
    switch (requests.Take(value, intercepting)) {
        case tamsolo::sound::MuteStep::kApply:
            if (intercepting) {
                SetMuteByInterception(value);
            } else {
                SetMixerMute(value);
            }
            return true;
        case tamsolo::sound::MuteStep::kCoverNewModules:
            CoverNewModules();
            return false;
        case tamsolo::sound::MuteStep::kNone:
            break;
    }
    return false;
}

}  // namespace internal

}  // namespace sound
