// Page commands: the addresses a hosted page navigates to ("app:loadgame...", "app://entergame|")
// with the login argument's percent-escapes and its registration text. A page is outside input.
#include "fuzz_input.h"

#include "web/dhtmpolicy.h"
#include "web/pagecommand.h"
#include "web/pageerror.h"

using namespace tamsolo;

namespace {

// Every high surrogate is followed by a low one and every low one follows a high one.
bool WellFormed(const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint8_t how = in.ConsumeIntegral<std::uint8_t>();
    std::u16string url = fuzz::Text(in.ConsumeRandomLengthString(4096), how);
    if (how & 0x10) url = u"app://loadgame|" + url;
    if (how & 0x20) url = u"app://entergame|" + url;
    const std::string ansi = in.ConsumeRemainingBytesAsString();

    const PageCommand command = ParsePageCommand(url);
    if (command.kind == PageCommandKind::kNone) FUZZ_CHECK(!fuzz::StartsWith(url, u"app:"));
    if (command.kind != PageCommandKind::kLoadGame) {
        FUZZ_CHECK(command.loginArgument.empty() && command.gameAddress.empty());
    } else if (!command.gameAddress.empty() || !command.loginArgument.empty()) {
        // The argument, a "|" and the address are the tail of the url.
        FUZZ_CHECK(url.size() >= 16 && url.substr(15) == command.loginArgument + u"|" + command.gameAddress);
        FUZZ_CHECK(command.loginArgument.find(u'|') == std::u16string::npos);
    }
    FUZZ_CHECK(FilterNavigation(url) != NavigationVerdict::kAllow || command.kind == PageCommandKind::kNone);

    const Registration r = SplitLoginArgument(command.loginArgument.empty() ? url : command.loginArgument);
    FUZZ_CHECK(r.server.find(u'S') == std::u16string::npos);
    FUZZ_CHECK(r.middle.size() <= url.size());
    (void)r.Text();
    (void)DuplicateAccountMessage(r);
    (void)LoginArgumentFits(command.loginArgument);
    (void)NeedsPercentDecoding(command.loginArgument);

    const std::string decoded = PercentDecode(ansi);
    FUZZ_CHECK(decoded.size() <= ansi.size());
    const std::u16string wide = Utf8ToUtf16(ansi);
    FUZZ_CHECK(wide.size() <= ansi.size() && WellFormed(wide));
    const std::u16string login = DecodeLoginArgument(ansi);
    FUZZ_CHECK(login.size() <= decoded.size() && WellFormed(login));
    bool ascii = true;
    for (char c : ansi) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) FUZZ_CHECK(wide == std::u16string(ansi.begin(), ansi.end()));

    const std::u16string defaultSite = u"http://hall.example/";
    const EnterGameCommand enter = ParseEnterGame(url, defaultSite);
    FUZZ_CHECK(enter.isCommand == fuzz::StartsWith(url, u"app://entergame|"));
    if (enter.valid) {
        FUZZ_CHECK(enter.isCommand && !enter.name.empty() && enter.name.size() <= kMaxHallNameLength);
        FUZZ_CHECK(enter.name.find_first_of(u"/\\.:") == std::u16string::npos);
        // Only a web address without blanks, quotes or control characters reaches the shell.
        if (enter.hallSite != defaultSite) {
            FUZZ_CHECK(IsServerAddress(enter.hallSite));
            for (char16_t c : enter.hallSite) FUZZ_CHECK(c > u' ' && c != u'"' && (c < 0x7F || c > 0x9F));
        }
    } else {
        FUZZ_CHECK(enter.name.empty() && enter.hallSite == defaultSite);
    }
    (void)IsServerAddress(url);
    (void)PageErrorFor(in.ConsumeIntegral<long>());
    return 0;
}
