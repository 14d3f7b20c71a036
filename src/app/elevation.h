// The command line of a copy restarted with administrator rights. Portable.
#pragma once

#include <string>
#include <vector>

namespace tamsolo {

// The argument the restarted copy gets after the original ones. The start mode is read from
// the first argument only, so the restarted copy runs in the same mode as the original.
inline constexpr char16_t kElevatedRestartSwitch[] = u"/elevated";

// One argument written so that the system's command-line parsing reads it back unchanged:
// as it is when it holds no blank, tab or quote and is not empty, otherwise quoted, with
// the backslashes before a quote and at the end doubled and each inner quote escaped.
std::u16string CommandLineArgument(const std::u16string& arg);

// The restarted copy's arguments: the original arguments (after the program name), each
// written back as one argument, then the switch.
std::u16string ElevatedRestartArguments(const std::vector<std::u16string>& originalArgs);

// Whether the arguments (after the program name) end with the switch, letter case ignored.
bool IsElevatedRestart(const std::vector<std::u16string>& args);

}  // namespace tamsolo
