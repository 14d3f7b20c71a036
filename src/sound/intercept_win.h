// The two ways this process's sound is muted, below sound::SetMute, which chooses between them
// by the Windows version. Reached directly only by SetMute and the tests.
#pragma once

#include <windows.h>

namespace sound::internal {

// Sets the mute switch of the wave-output source line, then of the speakers line, of mixer
// device 0. True only when both were set; silent on failure.
bool SetMixerMute(int value);

// Interception of the sound output functions (Windows XP and older, where the mixer mutes
// the whole machine): the first call saves the output functions' entries and arranges the
// removal at exit; every call points the imports of waveOutWrite, midiStreamOut and
// DirectSoundCreate of every module loaded by now at our replacements (so a plug-in loaded
// after the first request is covered from the next one on) and stores the flag. Always true.
bool SetMuteByInterception(int value);

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
    const void* createSoundBuffer;
    const void* unlock;
};
Replacements ReplacementEntries();

// The import entry through which module calls function (by name) of dll, or null.
void** FindImportSlot(HMODULE module, const char* dll, const char* function);

// What the replacements of DirectSoundCreate and IDirectSound::CreateSoundBuffer do to the
// object they hand out: its method table's CreateSoundBuffer (of an IDirectSound) or Unlock
// (of an IDirectSoundBuffer) is pointed at our replacement, once per distinct method table.
// False when the table could not be patched.
bool PatchDirectSound(void* directSound);
bool PatchSoundBuffer(void* soundBuffer);

}  // namespace sound::internal
