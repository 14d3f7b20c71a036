// Muting the sound of this process (a page process playing a game).
#pragma once

namespace sound {

// Applies a mute request: nonzero mutes, 0 unmutes. The mixer's mute switch on Windows above
// major version 5; on older Windows the process's sound output is intercepted and silenced.
// True on success (the interception path always succeeds).
bool SetMute(int value);

// The frame's handler of a mute request: applies value unless it equals the last request
// applied (the first request is always applied).
void OnMuteRequest(int value);

}  // namespace sound
