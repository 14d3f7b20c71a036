#include "net/address.h"

namespace tamsolo {

namespace {

char16_t FoldLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsFolded(const std::u16string& a, std::size_t from, const std::u16string& b) {
    if (a.size() - from != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (FoldLower(a[from + i]) != FoldLower(b[i])) return false;
    }
    return true;
}

// Reads a decimal the way the C runtime's signed reader does: leading blanks, a sign, digits
// up to the first non-digit. The connect call takes 16 bits, so the value is cut to them.
std::uint16_t ReadPort(const std::u16string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) value = value * 10 + (text[i] - u'0');
    if (negative) value = 0u - value;
    return static_cast<std::uint16_t>(value);
}

bool IsHostChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
           c == u'.';
}

}  // namespace

bool HasHttpPrefix(const std::u16string& address) {
    static const std::u16string kPrefix = u"http://";
    if (address.size() < kPrefix.size()) return false;
    return EqualsFolded(address.substr(0, kPrefix.size()), 0, kPrefix);
}

bool IsControlCharacter(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsWebAddress(const std::u16string& address) {
    std::size_t hostAt = 0;
    for (const std::u16string scheme : {u"http://", u"https://"}) {
        if (address.size() >= scheme.size() && EqualsFolded(address.substr(0, scheme.size()), 0, scheme)) {
            hostAt = scheme.size();
            break;
        }
    }
    if (hostAt == 0 || hostAt >= address.size()) return false;
    // Where a host should begin, these leave none ("http:///x", "http://\\share", "http://:80").
    switch (address[hostAt]) {
        case u'/': case u'\\': case u':': case u'?': case u'#': case u'@':
            return false;
        default:
            break;
    }
    for (char16_t c : address) {
        if (c == u' ' || c == u'"' || IsControlCharacter(c)) return false;
    }
    return true;
}

bool SplitHttpAddress(const std::u16string& address, SplitAddress* out) {
    *out = SplitAddress();
    const std::u16string rest = address.size() > 7 ? address.substr(7) : std::u16string();
    const std::size_t slash = rest.find(u'/');
    std::u16string host = rest.substr(0, slash);
    if (slash != std::u16string::npos) out->object = rest.substr(slash + 1);
    const std::size_t colon = host.find(u':');
    if (colon != std::u16string::npos) {
        const std::u16string portText = host.substr(colon + 1);
        host.erase(colon);
        // "host:" with nothing after the colon keeps the service's own port.
        if (!portText.empty()) out->port = ReadPort(portText);
        if (out->port == 0) out->port = 80;
    }
    out->host = host;
    return !host.empty() && host.size() < kHostChars && out->object.size() < kObjectChars;
}

bool IsPermittedAddress(const std::u16string& address, const std::u16string* domains, std::size_t count) {
    if (!HasHttpPrefix(address)) return false;
    SplitAddress parts;
    if (!SplitHttpAddress(address, &parts)) return false;
    const std::u16string& host = parts.host;
    for (char16_t c : host) {
        if (!IsHostChar(c)) return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string& domain = domains[i];
        if (domain.empty()) continue;
        if (EqualsFolded(host, 0, domain)) return true;
        if (host.size() > domain.size() && host[host.size() - domain.size() - 1] == u'.' &&
            EqualsFolded(host, host.size() - domain.size(), domain)) {
            return true;
        }
    }
    return false;
}

int ProgressPercent(std::uint64_t received, std::uint64_t length) {
    if (length == 0 || received >= length) return 100;
    return static_cast<int>(received * 100 / length);
}

std::uint32_t NextReadSize(std::uint32_t asked, std::uint32_t got, double elapsedMs) {
    std::uint32_t next = asked;
    if (elapsedMs > kSlowReadMs) {
        next = asked / 2;
    } else if (got >= asked && elapsedMs < kQuickReadMs) {
        next = asked * 2;
    }
    return next < kLeastRead ? kLeastRead : next > kMostRead ? kMostRead : next;
}

}  // namespace tamsolo
