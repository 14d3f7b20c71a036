// A stand-in for the game's plug-in: a library the sound tests load while muted, which plays
// through the output functions it imports, as the real one does, and which carries a COM-like
// object whose method table lies in the library's own read-only data.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#define FAKEPLUGIN_EXPORT extern "C" __declspec(dllexport)

namespace {

// What this library's own CreateSoundBuffer answers: tells the tests the call reached it.
constexpr HRESULT kOwnCreateSoundBuffer = 0x0000AB01;

HRESULT STDMETHODCALLTYPE OwnCreateSoundBuffer(void*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN) {
    if (buffer) *buffer = nullptr;
    return kOwnCreateSoundBuffer;
}

// Only the slot the tests look at is ever called.
void* const kSoundTable[] = {nullptr, nullptr, nullptr, reinterpret_cast<void*>(&OwnCreateSoundBuffer)};

struct OwnSound {
    void* const* table;
} g_sound = {kSoundTable};

}  // namespace

FAKEPLUGIN_EXPORT MMRESULT PlayWave(char* data, DWORD length) {
    WAVEHDR header{};
    header.lpData = data;
    header.dwBufferLength = length;
    // No device is opened: the system refuses the handle after the data has passed.
    return ::waveOutWrite(reinterpret_cast<HWAVEOUT>(static_cast<INT_PTR>(0x4321)), &header, sizeof(header));
}

FAKEPLUGIN_EXPORT HRESULT MakeDirectSound8(IDirectSound8** sound) { return ::DirectSoundCreate8(nullptr, sound, nullptr); }

FAKEPLUGIN_EXPORT HRESULT MakeDirectSoundByCom(IUnknown** sound) {
    return ::CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(sound));
}

FAKEPLUGIN_EXPORT void* OwnSoundObject() { return &g_sound; }

FAKEPLUGIN_EXPORT HRESULT OwnCreateSoundBufferAnswer() { return kOwnCreateSoundBuffer; }
