#include "app/crashdump.h"

namespace tamsolo {

std::u16string DumpPathFor(const std::u16string& exePath) {
    auto dot = exePath.rfind(u'.');
    if (dot == std::u16string::npos) return {};
    auto slash = exePath.find_last_of(u"\\/");
    if (slash != std::u16string::npos && dot < slash) return {};
    return exePath.substr(0, dot) + u".dmp";
}

}  // namespace tamsolo
