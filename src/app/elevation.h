// The steps that run with administrator rights: how such a copy is started, how it tells what
// it is for, how it reports, and who may use what the installation makes. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsolo {

// One job per elevated restart. Its command line is built from the job alone, never from the
// arguments of the process that asks for it, so a copy started with anything else cannot be
// lifted into an administrator's process in the mode it chose.
enum class ElevatedJob {
    kNone,     // an ordinary start: the start-mode rule decides
    kInstall,  // the machine-wide part of an installation
    kUninstall,
    kSwap,     // putting a verified update in place of the installed program
    kRefused,  // a job switch with anything beside it: does nothing and ends
};

inline constexpr char16_t kInstallJobSwitch[] = u"/elevated-install";
inline constexpr char16_t kUninstallJobSwitch[] = u"/elevated-uninstall";
inline constexpr char16_t kSwapJobSwitch[] = u"/elevated-swap";

// The whole argument text of the elevated copy for a job: its switch and nothing else.
// Empty for kNone and kRefused, which are never started.
std::u16string ElevatedJobArguments(ElevatedJob job);

// Which job the arguments (after the program name) ask for. A job switch is taken, letter
// case ignored, only when it is the one and only argument; any argument that begins with
// "/elevated" in any other company, or that is an unknown "/elevated…" text, refuses the start.
ElevatedJob ElevatedJobFrom(const std::vector<std::u16string>& args);

// How an elevated job ends, as its process exit code: the starter reads it. Zero is never an
// answer (a process killed by the debugger may end with it).
constexpr std::uint32_t kJobDone = 0x5A170001;
constexpr std::uint32_t kJobFailed = 0x5A170002;
constexpr std::uint32_t kJobRefused = 0x5A170003;  // the program folder is not trustworthy

// Who may do what with the program folder and the launcher's machine-wide key. Each list
// replaces whatever the object had, and nothing is inherited from above it.
enum class Trustee { kSystem, kAdministrators, kUsers };
struct AccessEntry {
    Trustee who;
    std::uint32_t rights;      // the system's access mask
    bool passedOn;             // inherited by everything created below
    bool operator==(const AccessEntry& o) const {
        return who == o.who && rights == o.rights && passedOn == o.passedOn;
    }
};
// The system's masks (the Win32 side checks them against its headers).
constexpr std::uint32_t kFileFullControl = 0x001F01FF;  // FILE_ALL_ACCESS
constexpr std::uint32_t kFileReadExecute = 0x001200A9;  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
constexpr std::uint32_t kKeyFullControl = 0x000F003F;   // KEY_ALL_ACCESS
constexpr std::uint32_t kKeyRead = 0x00020019;          // KEY_READ

// SYSTEM and Administrators full control, Users read and run; all passed on.
std::vector<AccessEntry> ProgramFolderAccess();
// SYSTEM and Administrators full control, Users read; all passed on to sub-keys.
std::vector<AccessEntry> LauncherKeyAccess();

}  // namespace tamsolo
