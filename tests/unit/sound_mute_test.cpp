#include "sound/mute.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tamsolo::sound;

namespace {

// Laid out like the system's wave and MIDI headers: the fields read come first.
struct FakeHeader {
    char* lpData;
    std::uint32_t dwBufferLength;
    std::uint32_t dwBytesRecorded;
};

constexpr std::size_t kFullHeader = sizeof(FakeHeader);

// A fake output function: what it was given, as it was when it was called.
struct FakeOutput {
    int calls = 0;
    std::string seen;
    int Play(const FakeHeader* header) {
        ++calls;
        if (header && header->lpData) seen.assign(header->lpData, header->dwBufferLength);
        return 42;
    }
};

}  // namespace

TEST(MuteRequests, OnlyChangesAreAppliedAndTheFirstAlways) {
    constexpr MuteStep A = MuteStep::kApply, N = MuteStep::kNone, C = MuteStep::kCoverNewModules;
    struct Case {
        const char* name;
        bool intercepting;
        std::vector<int> requests;
        std::vector<MuteStep> steps;
    };
    const Case cases[] = {
        {"first unmute is applied too", false, {0, 0, 0}, {A, N, N}},
        {"repeats of the timer are not", false, {1, 1, 0, 0, 1}, {A, N, A, N, A}},
        {"every change is", false, {0, 1, 0, 1}, {A, A, A, A}},
        {"intercepting: a repeat looks for new modules", true, {1, 1, 0, 0, 1}, {A, C, A, C, A}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MuteRequestFilter filter;
        std::vector<MuteStep> steps;
        for (int r : c.requests) steps.push_back(filter.Take(r, c.intercepting));
        EXPECT_EQ(steps, c.steps);
    }
}

TEST(PlayHeader, SilencesTheWholeBufferWhileMutedAndAlwaysCallsThrough) {
    struct Case {
        const char* name;
        bool muted;
        std::size_t statedSize;
        std::uint32_t bufferLength;
        std::string passedOn;  // what the output function is given
        std::string after;     // the caller's whole buffer afterwards
    };
    const Case cases[] = {
        {"muted: silenced", true, kFullHeader, 4, std::string(4, '\0'), std::string(4, '\0') + "tail"},
        {"unmuted: untouched", false, kFullHeader, 4, "abcd", "abcdtail"},
        {"muted, only the stated length", true, kFullHeader, 2, std::string(2, '\0'), std::string(2, '\0') + "cdtail"},
        {"muted, empty buffer", true, kFullHeader, 0, "", "abcdtail"},
        {"header size covers the length field", true, offsetof(FakeHeader, dwBytesRecorded), 4, std::string(4, '\0'),
         std::string(4, '\0') + "tail"},
        {"header too short to hold the length: not read", true, offsetof(FakeHeader, dwBufferLength), 4, "abcd",
         "abcdtail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MuteFlag flag;
        flag.Set(c.muted);
        char buffer[] = "abcdtail";
        FakeHeader header{buffer, c.bufferLength, 0};
        FakeOutput out;
        EXPECT_EQ(PlayHeader(flag, &header, c.statedSize, [&] { return out.Play(&header); }), 42);
        EXPECT_EQ(out.calls, 1);
        EXPECT_EQ(out.seen, c.passedOn);
        EXPECT_EQ(std::string(buffer, 8), c.after);
    }
}

TEST(PlayHeader, MissingHeaderOrBufferIsPassedOnUntouched) {
    MuteFlag flag;
    flag.Set(1);
    FakeOutput out;
    EXPECT_EQ(PlayHeader(flag, static_cast<FakeHeader*>(nullptr), kFullHeader, [&] { return out.Play(nullptr); }), 42);
    FakeHeader noBuffer{nullptr, 16, 0};
    EXPECT_EQ(PlayHeader(flag, &noBuffer, kFullHeader, [&] { return out.Play(&noBuffer); }), 42);
    EXPECT_EQ(out.calls, 2);
}

TEST(UnlockRegions, BothRegionsSilencedWhileMutedEvenWithAnEmptySecond) {
    struct Case {
        const char* name;
        bool muted;
        bool secondRegion;
        std::string first, second;
    };
    const Case cases[] = {
        {"muted, two regions", true, true, std::string(3, '\0'), std::string(2, '\0')},
        {"muted, empty second region", true, false, std::string(3, '\0'), "yz"},
        {"unmuted", false, true, "abc", "yz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MuteFlag flag;
        flag.Set(c.muted);
        char first[] = "abc";
        char second[] = "yz";
        int calls = 0;
        const long result = UnlockRegions(flag, first, 3, c.secondRegion ? second : nullptr, c.secondRegion ? 2 : 0,
                                          [&] { return ++calls, 7L; });
        EXPECT_EQ(result, 7L);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(std::string(first, 3), c.first);
        EXPECT_EQ(std::string(second, 2), c.second);
    }
}
