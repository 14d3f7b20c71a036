// Which role this process plays, decided from the first command-line argument and
// from where the executable lies. Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamsolo {

enum StartMode : int {
    kModeFirstStart = 0,      // a downloaded copy outside the install directory: install it
    kModePartnerStart = 1,    // "/CorvelD"
    kModeShortcutStart = 2,   // "/TamsoloD", the launcher's own shortcut
    kModeInstalledStart = 3,  // no switch, running from the install directory
    kModeUninstall = 4,       // "/uninst"
    kModeSelfUpdate = 5,      // "/update"
    kModeGamePage = 6,        // "/newgm /<owner window> /<page count>"
    kModeGameHall = 7,        // "/gmhall /<caller window>"
};

struct StartModeDecision {
    int mode = kModeFirstStart;
    std::int64_t ownerWindow = 0;  // modes 6 and 7, else 0
    int parentPageCount = 0;       // mode 6, else 0
};

// Buffer sizes (terminator included) the number arguments are read into.
constexpr std::size_t kWindowArgChars = 16;
constexpr std::size_t kPageCountArgChars = 8;

// Reads "/1234"-style arguments: the first character is skipped whatever it is, the rest is
// read as the C runtime reads a number: blanks skipped, then a signed decimal that stops at
// the first non-digit (no digits give 0). Returns false when
// the argument does not fit its buffer (more than bufferChars - 1 characters) or is empty.
bool ParseNumberArgument(const std::u16string& arg, std::size_t bufferChars, std::int64_t* value);

// Case-insensitive (ASCII letters) whole-text comparison.
bool EqualsIgnoreCase(const std::u16string& a, const std::u16string& b);

// Upper-cases ASCII and Latin-1 letters; other characters are kept.
std::u16string ToUpperPath(std::u16string text);

// True when the install directory occurs anywhere in the executable's path, letter case ignored.
// An empty install directory (the common folder could not be found) contains nothing.
bool IsInsideInstallDir(const std::u16string& exePath, const std::u16string& installDir);

// args are the arguments after the program name. A "/newgm" or "/gmhall" whose numbers are
// missing, empty or longer than their buffers is not taken as a page-process start: such a
// command line was not built by a launcher, so the location rule decides as for any other text.
StartModeDecision DecideStartMode(const std::vector<std::u16string>& args,
                                  const std::u16string& exePath,
                                  const std::u16string& installDir);

// The installed location below the common application-data folder.
std::u16string InstallDirFrom(const std::u16string& commonAppData);

}  // namespace tamsolo
