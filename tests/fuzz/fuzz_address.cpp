// The address split and the permitted-domain rule: addresses come from the operator's
// configuration files and from pages, so any text may arrive.
#include "fuzz_input.h"

#include "net/address.h"

using namespace tamsolo;

namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EndsWithFolded(const std::u16string& text, const std::u16string& suffix) {
    if (text.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (Lower(text[text.size() - suffix.size() + i]) != Lower(suffix[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string domains[3] = {fuzz::ConsumeText(in, 64), u"kelvra.com", u"127.0.0.1"};
    std::u16string address = fuzz::ConsumeText(in, 2048);
    if (in.ConsumeBool()) address = u"http://" + address;

    SplitAddress parts;
    if (SplitHttpAddress(address, &parts)) {
        FUZZ_CHECK(!parts.host.empty() && parts.host.size() < kHostChars && parts.object.size() < kObjectChars);
        FUZZ_CHECK(parts.port != 0);
        FUZZ_CHECK(parts.host.find(u'/') == std::u16string::npos && parts.host.find(u':') == std::u16string::npos);
        // The parts join back into the address: host, an optional ":port", "/" and the object.
        const std::u16string rest = address.substr(7);
        FUZZ_CHECK(fuzz::StartsWith(rest, parts.host));
        const std::size_t slash = rest.find(u'/');
        if (slash == std::u16string::npos) {
            FUZZ_CHECK(parts.object.empty());
        } else {
            FUZZ_CHECK(rest.substr(slash + 1) == parts.object);
            FUZZ_CHECK(slash == parts.host.size() || rest[parts.host.size()] == u':');
        }
    }

    if (IsPermittedAddress(address, domains, 3)) {
        FUZZ_CHECK(HasHttpPrefix(address));
        SplitAddress p;
        FUZZ_CHECK(SplitHttpAddress(address, &p));
        bool matched = false;
        for (const std::u16string& domain : domains) {
            if (domain.empty() || !EndsWithFolded(p.host, domain)) continue;
            if (p.host.size() == domain.size() || p.host[p.host.size() - domain.size() - 1] == u'.') matched = true;
        }
        FUZZ_CHECK(matched);
    }

    // What the shell is handed stays one argument of a command line.
    if (IsWebAddress(address)) {
        for (char16_t c : address) FUZZ_CHECK(c > u' ' && c != u'"' && !IsControlCharacter(c) && (c < 0x7F || c > 0x9F));
    }

    const std::uint64_t received = in.ConsumeIntegral<std::uint64_t>();
    const std::uint64_t length = in.ConsumeIntegral<std::uint64_t>();
    const int percent = ProgressPercent(received, length);
    FUZZ_CHECK(percent >= 0 && percent <= 100);
    return 0;
}
