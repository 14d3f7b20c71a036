// The cookies the system hands back for an address, as one text: "a=1; Pauth=xyz; b=2".
// Portable.
#pragma once

#include <string>

namespace tamsolo {

// True when the text holds a cookie of exactly this name (letter case counts, as in cookie
// names) with a value that is not empty. "XPauth=1" and "Pauth2=1" are other cookies, and a
// cookie that was cleared ("Pauth=") is no cookie.
bool HasCookie(const std::u16string& cookies, const std::u16string& name);

}  // namespace tamsolo
