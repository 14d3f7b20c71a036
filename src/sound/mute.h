// The rules of muting a page process, apart from how a platform carries them out: which mute
// requests are applied, the process-wide mute flag, and the silencing of sound data passing
// through an intercepted output function while that flag is set. Portable.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tamsolo::sound {

// What one mute request asks of the process.
enum class MuteStep {
    kNone,             // a repeat on the mixer path: the switch is already where it should be
    kApply,            // the first request, or a change
    kCoverNewModules,  // a repeat on the interception path: modules loaded since are intercepted too
};

// The main window repeats its mute state every 400 ms; only a change is applied. The first
// request is always applied. A request whose application failed still counts as applied, so
// it is not retried until the opposite one has come. On the interception path a repeat is
// still the moment to look for modules loaded since the last request: a plug-in loads its
// sound libraries whenever it likes, and nothing else tells us.
class MuteRequestFilter {
public:
    MuteStep Take(int value, bool intercepting) {
        if (any_ && value == last_) return intercepting ? MuteStep::kCoverNewModules : MuteStep::kNone;
        any_ = true;
        last_ = value;
        return MuteStep::kApply;
    }

private:
    bool any_ = false;
    int last_ = 0;
};

// Whether sound is muted: written by the thread that takes the requests, read by whatever
// thread plays sound. A stale read only delays the silence by one buffer.
class MuteFlag {
public:
    void Set(int value) { value_.store(value != 0 ? 1 : 0, std::memory_order_relaxed); }
    bool Muted() const { return value_.load(std::memory_order_relaxed) != 0; }

private:
    std::atomic<int> value_{0};
};

// The one flag of the process.
MuteFlag& ProcessMuteFlag();

// Overwrites length bytes at data with zeros while muted. A missing buffer is left alone:
// there is nothing to silence, and the output function reports the mistake itself.
void SilenceIfMuted(const MuteFlag& flag, void* data, std::size_t length);

// A wave or MIDI header as its output function receives it (lpData, dwBufferLength): the
// buffer it describes is silenced only when the size the caller gives for the header covers
// those fields; a shorter header is refused by the output function and must not be read past.
template <class Header>
void SilenceHeaderIfMuted(const MuteFlag& flag, Header* header, std::size_t statedSize) {
    constexpr std::size_t kFieldsEnd = offsetof(Header, dwBufferLength) + sizeof(header->dwBufferLength);
    static_assert(offsetof(Header, lpData) < kFieldsEnd, "the buffer pointer precedes its length");
    if (!header || statedSize < kFieldsEnd) return;
    SilenceIfMuted(flag, header->lpData, header->dwBufferLength);
}

// What replaces an output function that plays one header: silence while muted, then the
// output function itself (callThrough) with the caller's arguments, and its answer.
template <class Header, class CallThrough>
auto PlayHeader(const MuteFlag& flag, Header* header, std::size_t statedSize, CallThrough&& callThrough) {
    SilenceHeaderIfMuted(flag, header, statedSize);
    return std::forward<CallThrough>(callThrough)();
}

// What replaces the unlocking of a sound buffer: both locked regions silenced while muted (the
// second is often empty), then the unlocking itself and its answer.
template <class CallThrough>
auto UnlockRegions(const MuteFlag& flag, void* first, std::size_t firstLength, void* second,
                   std::size_t secondLength, CallThrough&& callThrough) {
    SilenceIfMuted(flag, first, firstLength);
    SilenceIfMuted(flag, second, secondLength);
    return std::forward<CallThrough>(callThrough)();
}

}  // namespace tamsolo::sound
