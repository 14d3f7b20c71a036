#include "web/pageerror.h"

#include <cstddef>

namespace tamsolo {

namespace {

std::u16string Decimal(long value) {
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    return out;
}

bool StartsWithNoCase(const std::u16string& text, const char16_t* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i) {
        if (i >= text.size()) return false;
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool IsServerAddress(const std::u16string& url) {
    return StartsWithNoCase(url, u"http://") || StartsWithNoCase(url, u"https://");
}

PageErrorText PageErrorFor(long status) {
    // Positive codes in the HTTP range mean the server is there but refused this page;
    // everything else (the INET_E_ family, zero) means it could not be reached.
    if (status >= 400 && status <= 599) {
        return {u"游戏服务器暂时无法打开这个页面",
                u"服务器返回错误 " + Decimal(status) + u"，请稍后重新连接。"};
    }
    return {u"无法连接到游戏服务器", u"请检查网络连接，然后重新连接。"};
}

}  // namespace tamsolo
