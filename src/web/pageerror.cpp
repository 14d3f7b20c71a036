#include "web/pageerror.h"

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

}  // namespace

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
