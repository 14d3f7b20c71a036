#include "app/startmode.h"

namespace tamsolo {

namespace {

char16_t FoldUpper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    // Latin-1 lower-case letters (except the division sign and y-diaeresis, which has no
    // upper-case form in Latin-1) map 32 below.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    return c;
}

}  // namespace

bool EqualsIgnoreCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldUpper(a[i]) != FoldUpper(b[i])) return false;
    }
    return true;
}

std::u16string ToUpperPath(std::u16string text) {
    for (auto& c : text) c = FoldUpper(c);
    return text;
}

bool ParseNumberArgument(const std::u16string& arg, std::size_t bufferChars, std::int64_t* value) {
    *value = 0;
    if (arg.empty() || bufferChars == 0 || arg.size() > bufferChars - 1) return false;
    std::size_t i = 1;  // the leading character ("/") is skipped whatever it is
    // Blanks before the number are skipped, as the C runtime's number reader does.
    while (i < arg.size() && (arg[i] == u' ' || (arg[i] >= u'\t' && arg[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < arg.size() && (arg[i] == u'-' || arg[i] == u'+')) {
        negative = arg[i] == u'-';
        ++i;
    }
    std::int64_t n = 0;
    // At most 14 digits fit the window buffer, so the value cannot overflow 64 bits.
    for (; i < arg.size() && arg[i] >= u'0' && arg[i] <= u'9'; ++i) n = n * 10 + (arg[i] - u'0');
    *value = negative ? -n : n;
    return true;
}

bool IsInsideInstallDir(const std::u16string& exePath, const std::u16string& installDir) {
    // No known install directory: nothing is inside it (an empty text would occur everywhere).
    if (installDir.empty()) return false;
    return ToUpperPath(exePath).find(ToUpperPath(installDir)) != std::u16string::npos;
}

StartModeDecision DecideStartMode(const std::vector<std::u16string>& args,
                                  const std::u16string& exePath,
                                  const std::u16string& installDir) {
    StartModeDecision d;
    if (!args.empty()) {
        const std::u16string& first = args[0];
        if (EqualsIgnoreCase(first, u"/CorvelD")) { d.mode = kModePartnerStart; return d; }
        if (EqualsIgnoreCase(first, u"/TamsoloD")) { d.mode = kModeShortcutStart; return d; }
        if (EqualsIgnoreCase(first, u"/uninst")) { d.mode = kModeUninstall; return d; }
        if (EqualsIgnoreCase(first, u"/update")) { d.mode = kModeSelfUpdate; return d; }
        if (EqualsIgnoreCase(first, u"/newgm")) {
            std::int64_t owner = 0, count = 0;
            if (args.size() >= 3 && ParseNumberArgument(args[1], kWindowArgChars, &owner) &&
                ParseNumberArgument(args[2], kPageCountArgChars, &count)) {
                d.mode = kModeGamePage;
                d.ownerWindow = owner;
                d.parentPageCount = count < 0 ? 0 : static_cast<int>(count);
                return d;
            }
        } else if (EqualsIgnoreCase(first, u"/gmhall")) {
            std::int64_t owner = 0;
            if (args.size() >= 2 && ParseNumberArgument(args[1], kWindowArgChars, &owner)) {
                d.mode = kModeGameHall;
                d.ownerWindow = owner;
                return d;
            }
        }
    }
    d.mode = IsInsideInstallDir(exePath, installDir) ? kModeInstalledStart : kModeFirstStart;
    return d;
}

std::u16string InstallDirFrom(const std::u16string& commonAppData) {
    std::u16string dir = commonAppData;
    while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
    return dir + u"\\Kelvra\\GameLogin";
}

}  // namespace tamsolo
