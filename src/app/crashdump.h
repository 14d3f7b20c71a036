// Where a crash dump goes. Portable.
#pragma once

#include <string>

namespace tamsolo {

// The executable's path with its extension replaced by ".dmp". Empty when the file name has
// no "." (a dot only in a folder name does not count: replacing from there would write the
// dump over an unrelated file in a parent folder).
std::u16string DumpPathFor(const std::u16string& exePath);

// The three minidump types tried in turn, richest first.
constexpr unsigned kDumpTypes[3] = {0x1A25, 0x225, 0};

}  // namespace tamsolo
