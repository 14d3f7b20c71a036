#include "app/cmdline.h"

namespace tamsolo {

std::u16string ToDecimal(std::int64_t value) {
    std::u16string digits;
    bool negative = value < 0;
    // Work on the magnitude as unsigned so the most negative value does not overflow.
    std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + m % 10));
        m /= 10;
    } while (m != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

std::u16string QuoteArgument(const std::u16string& path) {
    if (path.find_first_of(u" \t") == std::u16string::npos) return path;
    return u"\"" + path + u"\"";
}

std::u16string BuildCommandLine(const std::u16string& exePath, const std::u16string& switches) {
    std::u16string line = QuoteArgument(exePath);
    if (!switches.empty()) line += u" " + switches;
    return line;
}

std::u16string BuildNewPageCommandLine(const std::u16string& exePath, std::int64_t mainWindow, int pageCount) {
    return BuildCommandLine(exePath, u"/newgm /" + ToDecimal(mainWindow) + u" /" + ToDecimal(pageCount));
}

std::u16string BuildUpdateCommandLine(const std::u16string& exePath) {
    return BuildCommandLine(exePath, u"/update");
}

}  // namespace tamsolo
