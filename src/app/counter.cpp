#include "app/counter.h"

#include <climits>

namespace tamsolo {

int ReadSignedDecimal(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

unsigned NextCounterValue(const std::u16string& stored) {
    return static_cast<unsigned>(ReadSignedDecimal(stored)) + 1u;
}

std::u16string FormatUnsigned(unsigned value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::u16string StatisticsAddressFor(const std::u16string& host, const std::u16string& pathAndQuery, unsigned count) {
    std::u16string address = host + pathAndQuery + u"&count=" + FormatUnsigned(count);
    if (address.size() > kStatAddressChars - 1) address.resize(kStatAddressChars - 1);
    return address;
}

}  // namespace tamsolo
