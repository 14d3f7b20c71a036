// Paths of files that live beside the running program. Portable.
#pragma once

#include <cstddef>
#include <string>

namespace tamsolo {

constexpr std::size_t kPathChars = 260;

// With a name: the program's folder (up to and including the last "\") followed by the name;
// with an empty name: the program's own path. False (and an empty text) when the program's
// path has no "\" or the result would not fit a 260-character path buffer.
bool PathBesideProgram(const std::u16string& programPath, const std::u16string& name, std::u16string* out);

}  // namespace tamsolo
