#include "app/elevation.h"

#include "app/startmode.h"

namespace tamsolo {

std::u16string CommandLineArgument(const std::u16string& arg) {
    if (!arg.empty() && arg.find_first_of(u" \t\n\v\"") == std::u16string::npos) return arg;
    std::u16string out = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote: there each one is doubled and the
        // quote itself gets one more.
        out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, u'\\');  // before the closing quote
    out += u'"';
    return out;
}

std::u16string ElevatedRestartArguments(const std::vector<std::u16string>& originalArgs) {
    std::u16string line;
    for (const auto& arg : originalArgs) line += CommandLineArgument(arg) + u" ";
    return line + kElevatedRestartSwitch;
}

bool IsElevatedRestart(const std::vector<std::u16string>& args) {
    return !args.empty() && EqualsIgnoreCase(args.back(), kElevatedRestartSwitch);
}

}  // namespace tamsolo
