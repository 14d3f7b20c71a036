// Muting the sound of this process (a page process playing a game).
#pragma once

#include "sound/mute.h"

namespace sound {

// Applies a mute request: nonzero mutes, 0 unmutes. The mixer's mute switch on Windows above
// major version 5; on older Windows the process's sound output is intercepted and silenced.
// True on success (the interception path always succeeds).
bool SetMute(int value);

// The frame's handler of a mute request, given every request the main window sends, repeats
// included: applies value unless it equals the last request applied (the first request is
// always applied). True when the request was applied.
bool OnMuteRequest(int value);

namespace internal {

// OnMuteRequest on the path given (intercepting: the path of older Windows), with its own
// record of requests; reached directly only by OnMuteRequest and the tests.
bool TakeMuteRequest(tamsolo::sound::MuteRequestFilter& requests, int value, bool intercepting);

}  // namespace internal

}  // namespace sound
