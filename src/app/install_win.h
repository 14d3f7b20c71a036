// Installation of a downloaded copy into the install directory.
#pragma once

namespace app {

// Copies the executable into the install directory, creates the shortcuts and starts the
// installed copy. Each step fails silently; returns whether the copy is in place.
bool Install();

}  // namespace app
