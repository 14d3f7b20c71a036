#include "web/favourite.h"

namespace tamsolo {

namespace {

bool IsForbiddenInFileName(char16_t c) {
    if (c < 0x20 || c == 0x7F) return true;
    switch (c) {
        case u'\\': case u'/': case u':': case u'*': case u'?': case u'"': case u'<': case u'>': case u'|':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::u16string FavouriteFileName(const std::u16string& name) {
    std::u16string safe = name.substr(0, kMaxFavouriteName);
    for (char16_t& c : safe) {
        if (IsForbiddenInFileName(c)) c = u'_';
    }
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
        if (c < 0x20) return {};
    }
    std::u16string text = u"[DEFAULT]\r\nBASEURL=" + url +
                          u"\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n[InternetShortcut]\r\nURL=" +
                          url + u"\r\nIDList=\r\n";
    if (text.size() > kMaxFavouriteText) return {};
    return text;
}

}  // namespace tamsolo
