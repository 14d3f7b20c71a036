// The two ways this process's sound is muted, below sound::SetMute, which chooses between them
// by the Windows version. Reached directly only by sound/mute_win.cpp and the tests.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace sound::internal {

// Sets the mute switch of the wave-output source line, then of the speakers line, of mixer
// device 0. True only when both were set; silent on failure.
bool SetMixerMute(int value);

// Interception of the sound output functions (Windows XP and older, where the mixer mutes
// the whole machine): the first call arranges the removal at exit; every call covers the
// modules loaded by now (see CoverNewModules) and stores the flag. Always true.
bool SetMuteByInterception(int value);

// Points the imports of waveOutWrite, midiStreamOut, DirectSoundCreate, DirectSoundCreate8 and
// CoCreateInstance of every module loaded by now at our replacements, leaving entries already
// pointed there as they are. Run at every mute request, a repeat too, so a plug-in loaded after
// a request is covered from the next one on. The flag is left as it is.
void CoverNewModules();

// Puts back every import entry that still points at a replacement, in modules still loaded.
// Run at process exit; the method-table patches of DirectSound stay.
void RemoveInterception();

// How many import entries point at our replacements now.
int PatchedImportCount();

// The replacement routines, as they stand in import entries and method tables.
struct Replacements {
    const void* waveOutWrite;
    const void* midiStreamOut;
    const void* directSoundCreate;
    const void* directSoundCreate8;
    const void* coCreateInstance;
    const void* createSoundBuffer;
    const void* unlock;
};
Replacements ReplacementEntries();

// The import entry through which module calls function (by name) of dll, or null.
void** FindImportSlot(HMODULE module, const char* dll, const char* function);

// What the replacements of DirectSoundCreate(8) and IDirectSound::CreateSoundBuffer do to the
// object they hand out: its method table's CreateSoundBuffer (of an IDirectSound or
// IDirectSound8) or Unlock (of an IDirectSoundBuffer) is pointed at our replacement, once per
// distinct method table. A table met again is checked, not taken as patched: the library that
// holds it may have been unloaded and loaded again in the same place, with a fresh table.
// False when the table could not be patched, or when its slot leads to neither the library's
// own method nor our replacement (someone else's, which may itself lead on to ours).
bool PatchDirectSound(void* directSound);
bool PatchSoundBuffer(void* soundBuffer);

// What the replacement of CoCreateInstance does to a DirectSound object it hands out, through
// whichever interface the caller asked for: both DirectSound interfaces' method tables are
// patched, since the caller may ask for the other one later.
void PatchDirectSoundObject(IUnknown* object);

}  // namespace sound::internal
