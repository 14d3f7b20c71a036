// Muting inside a page process: the mixer path as far as this machine has a mixer, and the
// interception path of older Windows forced on, through the real import entries of this
// program and of a stand-in plug-in (fakeplugin.dll), and DirectSound method tables of our own
// making and of the system's.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/handle_win.h"
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

void** TableOf(const void* object) { return *static_cast<void** const*>(object); }

// The stand-in plug-in, loaded from beside this program.
fw::Module LoadPlugin() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, n);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"fakeplugin.dll";
    return fw::Module(::LoadLibraryW(file.c_str()));
}

template <class Fn>
Fn PluginFunction(const fw::Module& plugin, const char* name) {
    const FARPROC proc = ::GetProcAddress(plugin.Get(), name);
    Fn fn = nullptr;
    static_assert(sizeof(fn) == sizeof(proc), "function pointers have one size");
    std::memcpy(&fn, &proc, sizeof(fn));
    return fn;
}

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

    // Writes the slot, then makes the table read-only again.
    template <class Fn>
    void Seal(size_t slot, Fn method) {
        DWORD old = 0;
        ::VirtualProtect(table_, 4096, PAGE_READWRITE, &old);
        std::memcpy(&table_[slot], &method, sizeof(method));
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

// Someone else's replacement of CreateSoundBuffer, put over ours and leading on to it.
const void* g_foreignNext = nullptr;
int g_foreignCalls = 0;
HRESULT STDMETHODCALLTYPE ForeignCreateSoundBuffer(IDirectSound* self, LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* out,
                                                   LPUNKNOWN outer) {
    ++g_foreignCalls;
    using Fn = HRESULT(STDMETHODCALLTYPE*)(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*, LPUNKNOWN);
    Fn next = nullptr;
    std::memcpy(&next, &g_foreignNext, sizeof(next));
    return next(self, desc, out, outer);
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

    // Someone else put their own entry over ours, leading on to it: it is left as it is, so
    // that a call goes through theirs, ours and the table's own method once each.
    g_foreignNext = replacements.createSoundBuffer;
    g_foreignCalls = 0;
    sound.Seal(3, &ForeignCreateSoundBuffer);
    EXPECT_FALSE(internal::PatchDirectSound(&sound));
    IDirectSoundBuffer* again = nullptr;
    EXPECT_EQ(sound.As<IDirectSound>()->CreateSoundBuffer(&desc, &again, nullptr), DS_OK);
    EXPECT_EQ(again, buffer.As<IDirectSoundBuffer>());
    EXPECT_EQ(g_foreignCalls, 1);
}

TEST(SoundInterception, MethodTableOfALibraryLoadedAgainInTheSamePlaceIsPatchedAgain) {
    const void* const replacement = internal::ReplacementEntries().createSoundBuffer;
    void** firstTable = nullptr;
    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE(load == 0 ? "first load" : "loaded again");
        fw::Module plugin = LoadPlugin();
        ASSERT_TRUE(plugin);
        void* own = PluginFunction<void* (*)()>(plugin, "OwnSoundObject")();
        const HRESULT ownAnswer = PluginFunction<HRESULT (*)()>(plugin, "OwnCreateSoundBufferAnswer")();
        void** table = TableOf(own);
        if (load == 0) firstTable = table;
        ASSERT_EQ(table, firstTable) << "the library came back elsewhere: nothing to show";
        ASSERT_NE(table[3], replacement) << "a fresh table";

        EXPECT_TRUE(internal::PatchDirectSound(own));
        EXPECT_EQ(table[3], replacement);
        IDirectSoundBuffer* none = nullptr;
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof(desc);
        EXPECT_EQ(static_cast<IDirectSound*>(own)->CreateSoundBuffer(&desc, &none, nullptr), ownAnswer)
            << "this load's own method is reached";

        plugin.Reset();
        ASSERT_EQ(::GetModuleHandleW(L"fakeplugin.dll"), nullptr);
    }
}

TEST(SoundInterception, PluginLoadedAfterTheRequestIsCoveredFromItsNextRepeat) {
    UnmuteAfterwards unmute;
    fw::ComInit com;
    const internal::Replacements replacements = internal::ReplacementEntries();
    tamsolo::sound::MuteRequestFilter requests;
    ASSERT_TRUE(internal::TakeMuteRequest(requests, 1, true));

    ASSERT_EQ(::GetModuleHandleW(L"fakeplugin.dll"), nullptr);
    fw::Module plugin = LoadPlugin();
    ASSERT_TRUE(plugin);
    struct Import {
        const char* dll;
        const char* function;
        const void* replacement;
        void** slot;
    };
    Import imports[] = {
        {"winmm.dll", "waveOutWrite", replacements.waveOutWrite, nullptr},
        {"dsound.dll", "DirectSoundCreate8", replacements.directSoundCreate8, nullptr},
        {"ole32.dll", "CoCreateInstance", replacements.coCreateInstance, nullptr},
    };
    for (Import& i : imports) {
        SCOPED_TRACE(i.function);
        i.slot = internal::FindImportSlot(plugin.Get(), i.dll, i.function);
        ASSERT_NE(i.slot, nullptr);
        EXPECT_NE(*i.slot, i.replacement) << "loaded after the request";
    }

    // The main window repeats the same state: nothing is applied, but the plug-in is covered.
    EXPECT_FALSE(internal::TakeMuteRequest(requests, 1, true));
    for (const Import& i : imports) {
        EXPECT_EQ(*i.slot, i.replacement) << i.function;
    }
    char data[8] = "abcdefg";
    PluginFunction<MMRESULT (*)(char*, DWORD)>(plugin, "PlayWave")(data, 4);
    EXPECT_EQ(std::string(data, 7), std::string(4, '\0') + "efg");

    // A DirectSound the plug-in makes through COM, asked for as a bare IUnknown: the method
    // tables of both its DirectSound interfaces lead to our CreateSoundBuffer.
    fw::ComPtr<IUnknown> made;
    ASSERT_EQ(PluginFunction<HRESULT (*)(IUnknown**)>(plugin, "MakeDirectSoundByCom")(made.Put()), S_OK);
    fw::ComPtr<IDirectSound> sound;
    fw::ComPtr<IDirectSound8> sound8;
    ASSERT_EQ(made->QueryInterface(IID_IDirectSound, sound.PutVoid()), S_OK);
    ASSERT_EQ(made->QueryInterface(IID_IDirectSound8, sound8.PutVoid()), S_OK);
    EXPECT_EQ(TableOf(sound.Get())[3], replacements.createSoundBuffer);
    EXPECT_EQ(TableOf(sound8.Get())[3], replacements.createSoundBuffer);
    sound.Reset();
    sound8.Reset();
    made.Reset();

    // Unloaded before the removal: its entries must not be written to.
    plugin.Reset();
    ASSERT_EQ(::GetModuleHandleW(L"fakeplugin.dll"), nullptr);
    internal::RemoveInterception();
    EXPECT_EQ(internal::PatchedImportCount(), 0);
}
