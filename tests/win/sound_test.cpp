// Muting inside a page process: the mixer path as far as this machine has a mixer, and the
// interception path of older Windows forced on, through the real import entries of this
// program and DirectSound method tables of our own making.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sound/intercept_win.h"
#include "sound/mute.h"
#include "sound/mute_win.h"

namespace {

using tamsolo::sound::ProcessMuteFlag;
namespace internal = sound::internal;

int CountThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(), [](HWND, LPARAM l) { return ++*reinterpret_cast<int*>(l), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// The flag is the process's: every test leaves it unmuted.
struct UnmuteAfterwards {
    ~UnmuteAfterwards() { ProcessMuteFlag().Set(0); }
};

}  // namespace

TEST(SoundMute, MixerPathRunsOrFailsSilently) {
    const int windows = CountThreadWindows();
    const int patched = internal::PatchedImportCount();
    // Whatever this machine's mixer offers, nothing is shown and nothing thrown.
    const bool muted = internal::SetMixerMute(1);
    const bool unmuted = internal::SetMixerMute(0);
    EXPECT_EQ(muted, unmuted) << "the same mixer answers both ways";
    // This Windows is newer than XP: the product mutes through the mixer and intercepts nothing.
    sound::OnMuteRequest(1);
    sound::OnMuteRequest(1);
    sound::OnMuteRequest(0);
    EXPECT_EQ(internal::PatchedImportCount(), patched);
    EXPECT_FALSE(ProcessMuteFlag().Muted());
    EXPECT_EQ(CountThreadWindows(), windows);
}

TEST(SoundInterception, ImportEntriesReachTheReplacementsUntilRemoved) {
    UnmuteAfterwards unmute;
    HMODULE self = ::GetModuleHandleW(nullptr);
    HMODULE winmm = ::GetModuleHandleW(L"winmm.dll");
    ASSERT_NE(winmm, nullptr);
    const internal::Replacements replacements = internal::ReplacementEntries();
    HWAVEOUT noWave = reinterpret_cast<HWAVEOUT>(static_cast<INT_PTR>(0x4321));
    HMIDISTRM noStream = reinterpret_cast<HMIDISTRM>(static_cast<INT_PTR>(0x4321));

    struct Output {
        const char* name;
        const void* replacement;
        // Plays len bytes of buffer through the import entry, as a plug-in would.
        MMRESULT (*play)(HWAVEOUT, HMIDISTRM, char*, DWORD);
    };
    const Output outputs[] = {
        {"waveOutWrite", replacements.waveOutWrite,
         [](HWAVEOUT out, HMIDISTRM, char* data, DWORD len) {
             WAVEHDR header{};
             header.lpData = data;
             header.dwBufferLength = len;
             return ::waveOutWrite(out, &header, sizeof(header));
         }},
        {"midiStreamOut", replacements.midiStreamOut,
         [](HWAVEOUT, HMIDISTRM stream, char* data, DWORD len) {
             MIDIHDR header{};
             header.lpData = data;
             header.dwBufferLength = len;
             return ::midiStreamOut(stream, &header, sizeof(header));
         }},
    };

    for (const Output& out : outputs) {
        SCOPED_TRACE(out.name);
        void** slot = internal::FindImportSlot(self, "winmm.dll", out.name);
        ASSERT_NE(slot, nullptr);
        const void* real = *slot;
        ASSERT_EQ(real, reinterpret_cast<const void*>(::GetProcAddress(winmm, out.name)));
        // What the system answers for this (unplayable) handle: the replacement must pass it on.
        char probe[8] = "abcdefg";
        const MMRESULT answer = out.play(noWave, noStream, probe, 4);
        ASSERT_NE(answer, MMSYSERR_NOERROR);

        internal::SetMuteByInterception(0);
        EXPECT_EQ(*slot, out.replacement);
        EXPECT_GE(internal::PatchedImportCount(), 2);

        struct Case {
            int mute;
            std::string after;
        };
        const Case cases[] = {
            {1, std::string(4, '\0') + "efg"},
            {0, "abcdefg"},  // unmuted again: still intercepted, data untouched
            {1, std::string(4, '\0') + "efg"},
        };
        for (const Case& c : cases) {
            internal::SetMuteByInterception(c.mute);
            EXPECT_EQ(*slot, out.replacement);
            char data[8] = "abcdefg";
            EXPECT_EQ(out.play(noWave, noStream, data, 4), answer) << "called through";
            EXPECT_EQ(std::string(data, 7), c.after) << "mute " << c.mute;
        }

        internal::RemoveInterception();
        EXPECT_EQ(*slot, real);
        EXPECT_EQ(internal::PatchedImportCount(), 0);
        char data[8] = "abcdefg";
        EXPECT_EQ(out.play(noWave, noStream, data, 4), answer);
        EXPECT_EQ(std::string(data, 7), "abcdefg") << "muted, but no longer intercepted";
        ProcessMuteFlag().Set(0);
    }
}

namespace {

// A COM object of our own: a method table in a read-only page, as a library's tables are.
class FakeComObject {
public:
    FakeComObject() {
        table_ = static_cast<void**>(::VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~FakeComObject() {
        if (table_) ::VirtualFree(table_, 0, MEM_RELEASE);
    }
    FakeComObject(const FakeComObject&) = delete;
    FakeComObject& operator=(const FakeComObject&) = delete;

    template <class Fn>
    void Seal(size_t slot, Fn method) {
        std::memcpy(&table_[slot], &method, sizeof(method));
        DWORD old = 0;
        ::VirtualProtect(table_, 4096, PAGE_READONLY, &old);
    }
    void** Table() const { return table_; }
    template <class I>
    I* As() {
        return reinterpret_cast<I*>(this);
    }

private:
    void** table_;  // the first field: where a COM object keeps its method table
};

FakeComObject* g_bufferToHandOut = nullptr;

struct UnlockSeen {
    int calls = 0;
    std::string first, second;
} g_unlockSeen;

HRESULT STDMETHODCALLTYPE FakeCreateSoundBuffer(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN) {
    *out = g_bufferToHandOut->As<IDirectSoundBuffer>();
    return DS_OK;
}

HRESULT STDMETHODCALLTYPE FakeUnlock(IDirectSoundBuffer*, LPVOID first, DWORD firstLength, LPVOID second,
                                     DWORD secondLength) {
    ++g_unlockSeen.calls;
    g_unlockSeen.first.assign(static_cast<const char*>(first), firstLength);
    g_unlockSeen.second.assign(second ? static_cast<const char*>(second) : "", secondLength);
    return 0x77;
}

}  // namespace

TEST(SoundInterception, DirectSoundTablesArePatchedOnceAndUnlockSilencesBothRegions) {
    UnmuteAfterwards unmute;
    const internal::Replacements replacements = internal::ReplacementEntries();
    FakeComObject sound, buffer;
    sound.Seal(3, &FakeCreateSoundBuffer);
    buffer.Seal(19, &FakeUnlock);
    g_bufferToHandOut = &buffer;

    // What the replacement of DirectSoundCreate does to the object it hands out.
    ASSERT_TRUE(internal::PatchDirectSound(&sound));
    EXPECT_EQ(sound.Table()[3], replacements.createSoundBuffer);
    ASSERT_TRUE(internal::PatchDirectSound(&sound)) << "a table already patched stays as it is";

    // The game creates its buffer through the patched table, which patches the buffer's.
    IDirectSoundBuffer* created = nullptr;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(sound.As<IDirectSound>()->CreateSoundBuffer(&desc, &created, nullptr), DS_OK);
    ASSERT_EQ(created, buffer.As<IDirectSoundBuffer>());
    EXPECT_EQ(buffer.Table()[19], replacements.unlock);

    struct Case {
        const char* name;
        int mute;
        bool secondRegion;
        std::string first, second;
    };
    const Case cases[] = {
        {"muted, two regions", 1, true, std::string(4, '\0'), std::string(2, '\0')},
        {"muted, empty second region", 1, false, std::string(4, '\0'), ""},
        {"unmuted", 0, true, "abcd", "yz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProcessMuteFlag().Set(c.mute);
        g_unlockSeen = {};
        char first[] = "abcd";
        char second[] = "yz";
        EXPECT_EQ(created->Unlock(first, 4, c.secondRegion ? second : nullptr, c.secondRegion ? 2 : 0), 0x77);
        EXPECT_EQ(g_unlockSeen.calls, 1);
        EXPECT_EQ(g_unlockSeen.first, c.first);
        EXPECT_EQ(g_unlockSeen.second, c.second);
    }
}

TEST(SoundInterception, ModuleLoadedLaterIsCoveredFromTheNextRequestAndMayGoAgain) {
    UnmuteAfterwards unmute;
    internal::SetMuteByInterception(0);
    // The wave-audio MCI driver plays through waveOutWrite and is not loaded until asked for.
    ASSERT_EQ(::GetModuleHandleW(L"mciwave.dll"), nullptr);
    HMODULE late = ::LoadLibraryW(L"mciwave.dll");
    if (!late) GTEST_SKIP() << "no mciwave.dll";
    void** slot = internal::FindImportSlot(late, "winmm.dll", "waveOutWrite");
    if (!slot) {
        ::FreeLibrary(late);
        GTEST_SKIP() << "mciwave.dll does not import waveOutWrite by name";
    }
    EXPECT_NE(*slot, internal::ReplacementEntries().waveOutWrite);
    internal::SetMuteByInterception(1);
    EXPECT_EQ(*slot, internal::ReplacementEntries().waveOutWrite);
    // Unloaded before the removal: its entry must not be written to.
    ASSERT_TRUE(::FreeLibrary(late));
    ASSERT_EQ(::GetModuleHandleW(L"mciwave.dll"), nullptr);
    internal::RemoveInterception();
    EXPECT_EQ(internal::PatchedImportCount(), 0);
}
