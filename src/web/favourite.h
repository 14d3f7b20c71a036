// Favourites: the Internet-shortcut file a game page is stored in, and its file name. Portable.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

// The longest name the player may give, the longest full path, and the longest shortcut text
// (UTF-16 units, and bytes once in the ANSI code page), each without its terminating zero.
constexpr std::size_t kMaxFavouriteName = 127;
constexpr std::size_t kMaxFavouritePath = 259;
constexpr std::size_t kMaxFavouriteText = 511;

// A name that is safe as one file name inside the favourites folder: \ / : * ? " < > | and
// control characters become "_", it is cut to kMaxFavouriteName units, and a name the system
// would take for a device (IsDeviceName) gets a leading "_".
std::u16string FavouriteFileName(const std::u16string& name);

// True when a file of this name, with or without an extension, would open a device rather
// than a file: CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 (also with the superscript digits
// 1, 2 and 3), in any letter case and with blanks before the first dot.
bool IsDeviceName(const std::u16string& name);

// folder + "\" + name + ".url" (name made safe first), or empty when it would exceed
// kMaxFavouritePath: a favourite is never written under a cut name.
std::u16string FavouritePath(const std::u16string& folder, const std::u16string& name);

// The shortcut's text with the address in both places, or empty when it exceeds
// kMaxFavouriteText units or the address holds a control character (a line break would add
// lines to the file).
std::u16string FavouriteText(const std::u16string& url);

}  // namespace tamsolo
