// Command lines the launcher builds for the processes it starts. Portable.
#pragma once

#include <cstdint>
#include <string>

namespace tamsolo {

// The path as one argument: quoted when it holds a blank or a tab.
std::u16string QuoteArgument(const std::u16string& path);

// path + " " + switches (switches may be empty: the path alone).
std::u16string BuildCommandLine(const std::u16string& exePath, const std::u16string& switches);

// " /newgm /<window> /<pages>" after the path: starts a page process owned by that window.
std::u16string BuildNewPageCommandLine(const std::u16string& exePath, std::int64_t mainWindow, int pageCount);

// path + " /update": the update command's self-update process.
std::u16string BuildUpdateCommandLine(const std::u16string& exePath);

std::u16string ToDecimal(std::int64_t value);

}  // namespace tamsolo
