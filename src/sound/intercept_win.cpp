#include "sound/intercept_win.h"

#include <mmsystem.h>
#include <dsound.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "framework/handle_win.h"
#include "sound/mute.h"

namespace sound::internal {

namespace {

using tamsolo::sound::ProcessMuteFlag;

using WaveOutWriteFn = MMRESULT(WINAPI*)(HWAVEOUT, LPWAVEHDR, UINT);
using MidiStreamOutFn = MMRESULT(WINAPI*)(HMIDISTRM, LPMIDIHDR, UINT);
using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
using DirectSoundCreate8Fn = HRESULT(WINAPI*)(LPCGUID, LPDIRECTSOUND8*, LPUNKNOWN);
using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using CreateSoundBufferFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSound*, LPCDSBUFFERDESC, LPDIRECTSOUNDBUFFER*,
                                                        LPUNKNOWN);
using UnlockFn = HRESULT(STDMETHODCALLTYPE*)(IDirectSoundBuffer*, LPVOID, DWORD, LPVOID, DWORD);

// Method-table positions: IUnknown's three methods come first in both interfaces.
constexpr size_t kCreateSoundBufferSlot = 3;  // IDirectSound(8): QueryInterface, AddRef, Release, CreateSoundBuffer
constexpr size_t kUnlockSlot = 19;            // IDirectSoundBuffer: ... Lock 11, Play 12, ..., Stop 18, Unlock 19

// Function and data pointers are the same size on Windows; copied, not cast, so no compiler
// has to be asked to convert between them.
template <class Fn>
Fn AsFunction(const void* p) {
    static_assert(sizeof(Fn) == sizeof(p), "function pointers are data-pointer sized");
    Fn f;
    std::memcpy(&f, &p, sizeof(f));
    return f;
}

template <class Fn>
const void* AsData(Fn f) {
    static_assert(sizeof(Fn) == sizeof(void*), "function pointers are data-pointer sized");
    const void* p;
    std::memcpy(&p, &f, sizeof(p));
    return p;
}

// The output functions themselves, through which the replacements still play. A replacement
// is put into an import entry only once its function is known here.
std::atomic<WaveOutWriteFn> g_waveOutWrite{nullptr};
std::atomic<MidiStreamOutFn> g_midiStreamOut{nullptr};
std::atomic<DirectSoundCreateFn> g_directSoundCreate{nullptr};
std::atomic<DirectSoundCreate8Fn> g_directSoundCreate8{nullptr};
std::atomic<CoCreateInstanceFn> g_coCreateInstance{nullptr};

// Import entries and method-table slots live in pages that are normally read-only. One writer
// at a time: two writers changing the protection of one page would undo each other's change.
std::mutex g_writeLock;

bool WriteSlot(void** slot, const void* value) {
    DWORD old = 0;
    if (!::VirtualProtect(slot, sizeof(void*), PAGE_EXECUTE_READWRITE, &old)) return false;
    // Other threads may be calling through the entry this very moment: one aligned store.
    ::InterlockedExchangePointer(slot, const_cast<void*>(value));
    DWORD ignored = 0;
    ::VirtualProtect(slot, sizeof(void*), old, &ignored);
    return true;
}

void** TableOf(const void* object) { return *static_cast<void** const*>(object); }

HMODULE ModuleHolding(const void* address) {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    return ::GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module) ? module : nullptr;
}

// Method tables patched at one slot, each with the entry it held before. A handful of tables
// at most: one per implementation (a primary and a secondary buffer may differ).
class MethodTablePatches {
public:
    explicit MethodTablePatches(size_t slot) : slot_(slot) {}

    const void* OriginalFor(void* const* table) const {
        for (const Entry& e : entries_) {
            if (e.table.load(std::memory_order_acquire) == table) return e.original.load(std::memory_order_acquire);
        }
        return nullptr;
    }

    bool Patch(void** table, const void* replacement) {
        if (!table) return false;
        std::lock_guard<std::mutex> lock(g_writeLock);
        Entry* free = nullptr;
        for (Entry& e : entries_) {
            void** known = e.table.load(std::memory_order_relaxed);
            if (known == table) return Repatch(e, replacement);
            if (!known && !free) free = &e;
        }
        if (!free) return false;
        // Published before the slot changes: a call arriving through the new entry at once
        // finds where to go on.
        free->original.store(table[slot_], std::memory_order_release);
        free->table.store(table, std::memory_order_release);
        if (WriteSlot(&table[slot_], replacement)) return true;
        free->table.store(nullptr, std::memory_order_release);
        return false;
    }

private:
    struct Entry {
        std::atomic<void**> table{nullptr};
        std::atomic<const void*> original{nullptr};
    };

    // A table at an address patched before. Its library may have been unloaded since and
    // loaded again in the same place (or another one there), with a fresh table whose slot
    // leads to the library's own method: that is patched again. A slot leading anywhere else
    // is someone else's, put over ours and perhaps leading on to it: taking it for the original
    // would have our replacement call itself, so it is left alone.
    bool Repatch(Entry& e, const void* replacement) {
        void** table = e.table.load(std::memory_order_relaxed);
        const void* now = table[slot_];
        if (now == replacement) return true;
        const HMODULE library = ModuleHolding(table);
        const bool fresh = now == e.original.load(std::memory_order_relaxed) ||
                           (library && library == ModuleHolding(now));
        if (!fresh) return false;
        e.original.store(now, std::memory_order_release);
        return WriteSlot(&table[slot_], replacement);
    }

    Entry entries_[8];
    size_t slot_;
};

MethodTablePatches g_createSoundBufferPatches(kCreateSoundBufferSlot);
MethodTablePatches g_unlockPatches(kUnlockSlot);

// ---------------------------------------------------------------- the replacements

MMRESULT WINAPI WaveOutWriteReplacement(HWAVEOUT out, LPWAVEHDR header, UINT size) {
    const WaveOutWriteFn real = g_waveOutWrite.load(std::memory_order_acquire);
    if (!real) return MMSYSERR_ERROR;
    return tamsolo::sound::PlayHeader(ProcessMuteFlag(), header, size, [&] { return real(out, header, size); });
}

MMRESULT WINAPI MidiStreamOutReplacement(HMIDISTRM stream, LPMIDIHDR header, UINT size) {
    const MidiStreamOutFn real = g_midiStreamOut.load(std::memory_order_acquire);
    if (!real) return MMSYSERR_ERROR;
    return tamsolo::sound::PlayHeader(ProcessMuteFlag(), header, size, [&] { return real(stream, header, size); });
}

HRESULT STDMETHODCALLTYPE UnlockReplacement(IDirectSoundBuffer* self, LPVOID first, DWORD firstLength,
                                            LPVOID second, DWORD secondLength) {
    const UnlockFn original = AsFunction<UnlockFn>(g_unlockPatches.OriginalFor(TableOf(self)));
    if (!original) return DSERR_GENERIC;
    return tamsolo::sound::UnlockRegions(ProcessMuteFlag(), first, firstLength, second, secondLength,
                                         [&] { return original(self, first, firstLength, second, secondLength); });
}

HRESULT STDMETHODCALLTYPE CreateSoundBufferReplacement(IDirectSound* self, LPCDSBUFFERDESC desc,
                                                       LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    const CreateSoundBufferFn original =
        AsFunction<CreateSoundBufferFn>(g_createSoundBufferPatches.OriginalFor(TableOf(self)));
    if (!original) return DSERR_GENERIC;
    const HRESULT hr = original(self, desc, buffer, outer);
    if (SUCCEEDED(hr) && buffer && *buffer) PatchSoundBuffer(*buffer);
    return hr;
}

HRESULT WINAPI DirectSoundCreateReplacement(LPCGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer) {
    const DirectSoundCreateFn real = g_directSoundCreate.load(std::memory_order_acquire);
    if (!real) return DSERR_NODRIVER;
    const HRESULT hr = real(device, sound, outer);
    if (SUCCEEDED(hr) && sound && *sound) PatchDirectSound(*sound);
    return hr;
}

HRESULT WINAPI DirectSoundCreate8Replacement(LPCGUID device, LPDIRECTSOUND8* sound, LPUNKNOWN outer) {
    const DirectSoundCreate8Fn real = g_directSoundCreate8.load(std::memory_order_acquire);
    if (!real) return DSERR_NODRIVER;
    const HRESULT hr = real(device, sound, outer);
    if (SUCCEEDED(hr) && sound && *sound) PatchDirectSound(*sound);
    return hr;
}

bool IsDirectSoundClass(REFCLSID clsid) {
    return ::IsEqualCLSID(clsid, CLSID_DirectSound) || ::IsEqualCLSID(clsid, CLSID_DirectSound8);
}

HRESULT WINAPI CoCreateInstanceReplacement(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                           LPVOID* object) {
    const CoCreateInstanceFn real = g_coCreateInstance.load(std::memory_order_acquire);
    if (!real) return REGDB_E_CLASSNOTREG;
    const HRESULT hr = real(clsid, outer, context, iid, object);
    // An aggregated object is left alone: asking it for an interface counts on its outer object,
    // which may still be in the making.
    if (SUCCEEDED(hr) && !outer && object && *object && IsDirectSoundClass(clsid)) {
        PatchDirectSoundObject(static_cast<IUnknown*>(*object));
    }
    return hr;
}

// ---------------------------------------------------------------- import entries

// Looked up afresh at every request: a library unloaded since is forgotten (whatever took its
// place must not be mistaken for it), and one loaded again, perhaps elsewhere, is found anew.
// While an import entry leads to a replacement, the module holding it keeps the library loaded.
template <class Fn>
void Resolve(std::atomic<Fn>& saved, const wchar_t* dll, const char* name) {
    HMODULE module = ::GetModuleHandleW(dll);  // never loaded by us: only what the process uses
    const FARPROC proc = module ? ::GetProcAddress(module, name) : nullptr;
    saved.store(proc ? AsFunction<Fn>(AsData(proc)) : nullptr, std::memory_order_release);
}

void ResolveOutputFunctions() {
    Resolve(g_waveOutWrite, L"winmm.dll", "waveOutWrite");
    Resolve(g_midiStreamOut, L"winmm.dll", "midiStreamOut");
    Resolve(g_directSoundCreate, L"dsound.dll", "DirectSoundCreate");
    Resolve(g_directSoundCreate8, L"dsound.dll", "DirectSoundCreate8");
    Resolve(g_coCreateInstance, L"ole32.dll", "CoCreateInstance");
}

// Calls visit(dllName, entry, nameEntry) for every import entry of a loaded module; nameEntry
// is null when the module keeps no name table. Everything is checked against the image size.
template <class Visit>
void ForEachImport(HMODULE module, Visit&& visit) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) return;
    const DWORD imageSize = nt->OptionalHeader.SizeOfImage;
    if (static_cast<DWORD>(dos->e_lfanew) >= imageSize) return;
    auto inside = [imageSize](DWORD rva, DWORD size) { return rva != 0 && rva < imageSize && size <= imageSize - rva; };
    if (nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT) return;
    const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!inside(dir.VirtualAddress, sizeof(IMAGE_IMPORT_DESCRIPTOR))) return;
    for (DWORD at = dir.VirtualAddress; inside(at, sizeof(IMAGE_IMPORT_DESCRIPTOR)); at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + at);
        if (d->Name == 0 && d->FirstThunk == 0) break;
        if (!inside(d->Name, 1) || !inside(d->FirstThunk, sizeof(IMAGE_THUNK_DATA))) continue;
        const char* dll = reinterpret_cast<const char*>(base + d->Name);
        const DWORD names = d->OriginalFirstThunk;
        for (DWORD i = 0;; ++i) {
            const DWORD entryRva = d->FirstThunk + i * static_cast<DWORD>(sizeof(IMAGE_THUNK_DATA));
            if (!inside(entryRva, sizeof(IMAGE_THUNK_DATA))) break;
            auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + entryRva);
            if (entry->u1.Function == 0) break;
            const DWORD nameRva = names ? names + i * static_cast<DWORD>(sizeof(IMAGE_THUNK_DATA)) : 0;
            const auto* nameEntry =
                inside(nameRva, sizeof(IMAGE_THUNK_DATA)) ? reinterpret_cast<const IMAGE_THUNK_DATA*>(base + nameRva) : nullptr;
            visit(dll, reinterpret_cast<void**>(&entry->u1.Function), nameEntry, base, inside);
        }
    }
}

// A module kept loaded while we look at it, found by any address inside it.
fw::Module PinModuleAt(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module)) {
        return fw::Module();
    }
    return fw::Module(module);
}

std::vector<fw::Module> PinLoadedModules() {
    std::vector<fw::Module> modules;
    fw::Handle snapshot;
    for (int attempt = 0; attempt < 5 && !snapshot; ++attempt) {
        // Fails now and then with ERROR_BAD_LENGTH while another thread loads a module.
        snapshot.Reset(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ::GetCurrentProcessId()));
    }
    if (!snapshot) return modules;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more; more = ::Module32NextW(snapshot.Get(), &entry)) {
        fw::Module pinned = PinModuleAt(entry.modBaseAddr);
        if (pinned) modules.push_back(std::move(pinned));
    }
    return modules;
}

struct PatchedImport {
    HMODULE module;
    void** slot;
    const void* real;
    const void* replacement;

    bool operator==(const PatchedImport& o) const {
        return module == o.module && slot == o.slot && real == o.real && replacement == o.replacement;
    }
};

std::mutex g_importsLock;
std::vector<PatchedImport> g_imports;  // guarded by g_importsLock

void PatchLoadedModules() {
    struct Target {
        const void* real;
        const void* replacement;
    };
    const Target targets[] = {
        {AsData(g_waveOutWrite.load()), AsData(&WaveOutWriteReplacement)},
        {AsData(g_midiStreamOut.load()), AsData(&MidiStreamOutReplacement)},
        {AsData(g_directSoundCreate.load()), AsData(&DirectSoundCreateReplacement)},
        {AsData(g_directSoundCreate8.load()), AsData(&DirectSoundCreate8Replacement)},
        {AsData(g_coCreateInstance.load()), AsData(&CoCreateInstanceReplacement)},
    };
    std::lock_guard<std::mutex> lock(g_importsLock);
    for (const fw::Module& module : PinLoadedModules()) {
        // Entries are recognised by where they lead, so imports by ordinal and through
        // forwarding libraries are found as well as those by name.
        ForEachImport(module.Get(), [&](const char*, void** slot, const IMAGE_THUNK_DATA*, const BYTE*, auto&) {
            for (const Target& t : targets) {
                if (!t.real || *slot != t.real) continue;
                std::lock_guard<std::mutex> writing(g_writeLock);
                if (!WriteSlot(slot, t.replacement)) continue;
                // A module unloaded and loaded again in the same place has the same entries.
                const PatchedImport patched{module.Get(), slot, t.real, t.replacement};
                if (std::find(g_imports.begin(), g_imports.end(), patched) == g_imports.end()) {
                    g_imports.push_back(patched);
                }
            }
        });
    }
}

void RemoveAtExit() { RemoveInterception(); }

}  // namespace

bool SetMuteByInterception(int value) {
    static const bool removalArranged = [] { return std::atexit(&RemoveAtExit) == 0; }();
    (void)removalArranged;
    CoverNewModules();
    ProcessMuteFlag().Set(value);
    return true;
}

void CoverNewModules() {
    ResolveOutputFunctions();
    PatchLoadedModules();
}

void RemoveInterception() {
    std::lock_guard<std::mutex> lock(g_importsLock);
    for (const PatchedImport& p : g_imports) {
        // Never write into a module that has gone (or into whatever took its place), nor over
        // an entry someone else has changed since.
        const fw::Module pinned = PinModuleAt(p.slot);
        if (pinned.Get() != p.module || *p.slot != p.replacement) continue;
        std::lock_guard<std::mutex> writing(g_writeLock);
        WriteSlot(p.slot, p.real);
    }
    g_imports.clear();
}

int PatchedImportCount() {
    std::lock_guard<std::mutex> lock(g_importsLock);
    return static_cast<int>(g_imports.size());
}

Replacements ReplacementEntries() {
    return Replacements{AsData(&WaveOutWriteReplacement), AsData(&MidiStreamOutReplacement),
                        AsData(&DirectSoundCreateReplacement), AsData(&DirectSoundCreate8Replacement),
                        AsData(&CoCreateInstanceReplacement), AsData(&CreateSoundBufferReplacement),
                        AsData(&UnlockReplacement)};
}

void** FindImportSlot(HMODULE module, const char* dll, const char* function) {
    void** found = nullptr;
    ForEachImport(module, [&](const char* from, void** slot, const IMAGE_THUNK_DATA* nameEntry, const BYTE* base,
                              auto& inside) {
        if (found || !nameEntry || ::lstrcmpiA(from, dll) != 0) return;
        if (IMAGE_SNAP_BY_ORDINAL(nameEntry->u1.Ordinal)) return;
        const DWORD rva = static_cast<DWORD>(nameEntry->u1.AddressOfData);
        if (!inside(rva, sizeof(IMAGE_IMPORT_BY_NAME))) return;
        const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + rva);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) found = slot;
    });
    return found;
}

bool PatchDirectSound(void* directSound) {
    return directSound && g_createSoundBufferPatches.Patch(TableOf(directSound), AsData(&CreateSoundBufferReplacement));
}

bool PatchSoundBuffer(void* soundBuffer) {
    return soundBuffer && g_unlockPatches.Patch(TableOf(soundBuffer), AsData(&UnlockReplacement));
}

void PatchDirectSoundObject(IUnknown* object) {
    if (!object) return;
    for (const IID* iid : {&IID_IDirectSound, &IID_IDirectSound8}) {
        void* sound = nullptr;
        if (FAILED(object->QueryInterface(*iid, &sound)) || !sound) continue;
        PatchDirectSound(sound);
        static_cast<IUnknown*>(sound)->Release();
    }
}

}  // namespace sound::internal
