#include "web/favourite.h"

#include "net/address.h"

namespace tamsolo {

namespace {

bool IsForbiddenInFileName(char16_t c) {
    if (IsControlCharacter(c)) return true;
    switch (c) {
        case u'\\': case u'/': case u':': case u'*': case u'?': case u'"': case u'<': case u'>': case u'|':
            return true;
        default:
            return false;
    }
}

char16_t FoldUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool IsDeviceDigit(char16_t c) { return (c >= u'0' && c <= u'9') || c == 0xB9 || c == 0xB2 || c == 0xB3; }

}  // namespace

bool IsDeviceName(const std::u16string& name) {
    // The system reads a name as far as its first dot, drops the blanks before that dot and
    // compares what is left: "con.txt", "Con .x" and "CON ." all open the console.
    std::u16string stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.pop_back();
    for (char16_t& c : stem) c = FoldUpper(c);
    if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, u"COM") == 0 || stem.compare(0, 3, u"LPT") == 0) &&
           IsDeviceDigit(stem[3]);
}

std::u16string FavouriteFileName(const std::u16string& name) {
    std::u16string safe = name.substr(0, kMaxFavouriteName);
    for (char16_t& c : safe) {
        if (IsForbiddenInFileName(c)) c = u'_';
    }
    // "CON.url" would be the console, not a file in the folder; "_CON.url" is a file.
    if (IsDeviceName(safe)) safe = (u"_" + safe).substr(0, kMaxFavouriteName);
    return safe;
}

std::u16string FavouritePath(const std::u16string& folder, const std::u16string& name) {
    if (folder.empty()) return {};
    std::u16string path = folder;
    if (path.back() != u'\\') path += u'\\';
    path += FavouriteFileName(name) + u".url";
    if (path.size() > kMaxFavouritePath) return {};
    return path;
}

std::u16string FavouriteText(const std::u16string& url) {
    // The address is one value of one line: a line break in it would add keys of its own to
    // the file, a zero would end the file early. No address a browser shows holds either.
    for (char16_t c : url) {
        if (IsControlCharacter(c)) return {};
    }
    std::u16string text = u"[DEFAULT]\r\nBASEURL=" + url +
                          u"\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n[InternetShortcut]\r\nURL=" +
                          url + u"\r\nIDList=\r\n";
    if (text.size() > kMaxFavouriteText) return {};
    return text;
}

}  // namespace tamsolo
