// The mixer path of muting (Windows Vista and later, where the legacy mixer interface of a
// process reaches that process's own audio session).
#include <windows.h>
#include <mmsystem.h>

#include "framework/handle_win.h"
#include "sound/intercept_win.h"

namespace sound::internal {

namespace {

static_assert(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT == 0x1008, "wave-output source line");
static_assert(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS == 0x4, "speakers destination line");
static_assert(MIXERCONTROL_CONTROLTYPE_MUTE == 0x20010002, "mute switch");

struct MixerTraits {
    using Type = HMIXER;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::mixerClose(h); }
};
using Mixer = fw::UniqueHandle<MixerTraits>;

// Sets the mute switch of the first line of the given component type on mixer device 0.
bool SetLineMute(DWORD componentType, int value) {
    ::mixerGetNumDevs();  // asked as the system expects before opening; the count does not matter
    Mixer mixer;
    HMIXER opened = nullptr;
    if (::mixerOpen(&opened, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return false;
    mixer.Reset(opened);
    HMIXEROBJ object = reinterpret_cast<HMIXEROBJ>(mixer.Get());

    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = componentType;
    if (::mixerGetLineInfoW(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
        return false;
    }

    MIXERCONTROLW control{};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (::mixerGetLineControlsW(object, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
        return false;
    }

    MIXERCONTROLDETAILS_BOOLEAN state{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(state);
    details.paDetails = &state;
    if (::mixerGetControlDetailsW(object, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR) {
        return false;
    }
    state.fValue = value != 0 ? 1 : 0;
    return ::mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

}  // namespace

bool SetMixerMute(int value) {
    // Both lines are tried whatever the first gave: the speakers alone still silence the game.
    const bool waveOut = SetLineMute(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, value);
    const bool speakers = SetLineMute(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, value);
    return waveOut && speakers;
}

}  // namespace sound::internal
