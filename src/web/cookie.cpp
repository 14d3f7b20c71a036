#include "web/cookie.h"

namespace tamsolo {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

bool HasCookie(const std::u16string& cookies, const std::u16string& name) {
    if (name.empty()) return false;
    std::size_t at = 0;
    while (at <= cookies.size()) {
        std::size_t end = cookies.find(u';', at);
        if (end == std::u16string::npos) end = cookies.size();
        std::size_t first = at;
        while (first < end && IsBlank(cookies[first])) ++first;
        const std::size_t equals = cookies.find(u'=', first);
        if (equals != std::u16string::npos && equals < end) {
            std::size_t nameEnd = equals;
            while (nameEnd > first && IsBlank(cookies[nameEnd - 1])) --nameEnd;
            std::size_t value = equals + 1;
            while (value < end && IsBlank(cookies[value])) ++value;
            if (cookies.compare(first, nameEnd - first, name) == 0 && value < end) return true;
        }
        at = end + 1;
    }
    return false;
}

}  // namespace tamsolo
