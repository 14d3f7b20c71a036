#include "web/pagecommand.h"

#include "net/address.h"

namespace tamsolo {

namespace {

constexpr std::size_t kWordAt = 6;
constexpr std::size_t kWordLength = 8;
constexpr std::size_t kArgumentAt = 15;

bool WordIs(const std::u16string& url, const char16_t* word) {
    return url.size() >= kWordAt + kWordLength && url.compare(kWordAt, kWordLength, word) == 0;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsHallNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'-';
}

}  // namespace

PageCommand ParsePageCommand(const std::u16string& url) {
    PageCommand command;
    if (url.size() < 4 || url.compare(0, 4, u"app:") != 0) return command;
    if (WordIs(url, u"loadgame")) {
        command.kind = PageCommandKind::kLoadGame;
        if (url.size() > kArgumentAt) {
            const std::size_t bar = url.find(u'|', kArgumentAt);
            if (bar != std::u16string::npos) {
                command.loginArgument = url.substr(kArgumentAt, bar - kArgumentAt);
                command.gameAddress = url.substr(bar + 1);
            }
        }
    } else if (WordIs(url, u"exitgame")) {
        command.kind = PageCommandKind::kExitGame;
    } else if (WordIs(url, u"minimize")) {
        command.kind = PageCommandKind::kMinimize;
    } else {
        command.kind = PageCommandKind::kUnknown;
    }
    return command;
}

bool NeedsPercentDecoding(const std::u16string& loginArgument) {
    return loginArgument.find(u'%') != std::u16string::npos;
}

std::string PercentDecode(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size()) {
            const int hi = HexValue(bytes[i + 1]);
            const int lo = HexValue(bytes[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(bytes[i]);
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        std::size_t extra = 0;
        char32_t cp = 0, min = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, min = 0x10000;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        bool ok = true;
        for (; taken <= extra; ++taken) {
            if (i + taken >= n || (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            i += taken;  // the lead byte and the continuation bytes seen
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += taken;
    }
    return out;
}

std::u16string DecodeLoginArgument(const std::string& ansiBytes) { return Utf8ToUtf16(PercentDecode(ansiBytes)); }

bool LoginArgumentFits(const std::u16string& loginArgument) {
    return loginArgument.size() * sizeof(char16_t) <= kMaxLoginArgumentBytes;
}

bool DecodedLoginArgumentUsable(const std::u16string& decoded) { return decoded.find(u'\0') == std::u16string::npos; }

std::u16string Registration::Text() const { return server + u"服-" + middle + u"-" + account; }

Registration SplitLoginArgument(const std::u16string& argument) {
    Registration r;
    const std::size_t mark = argument.find(u"服-");
    // Without the mark its position counts as -1, so the middle starts at position 1.
    const std::size_t middleAt = mark == std::u16string::npos ? 1 : mark + 2;
    if (mark != std::u16string::npos) r.server = argument.substr(0, mark);
    const std::size_t dash = middleAt < argument.size() ? argument.find(u'-', middleAt) : std::u16string::npos;
    if (dash == std::u16string::npos) {
        r.account = argument;
    } else {
        r.middle = argument.substr(middleAt, dash - middleAt);
        r.account = argument.substr(dash + 1);
    }

    std::u16string server;
    for (char16_t c : r.server) {
        if (c != u'S') server.push_back(c);
    }
    r.server = server;

    const std::size_t quote = r.middle.find(u'》');
    if (quote != std::u16string::npos) r.middle = r.middle.substr(quote + 1, 4);
    return r;
}

std::u16string DuplicateAccountMessage(const Registration& registration) {
    return u"账号 " + registration.account + u" 已在 " + registration.server + u"服 登录，同一账号不能在一服重复登录";
}

bool InLoginButtonArea(long x, long y) { return x >= 466 && x <= 516 && y >= 10 && y <= 34; }

EnterGameCommand ParseEnterGame(const std::u16string& url, const std::u16string& defaultHallSite) {
    static const std::u16string kMarker = u"app://entergame|";
    EnterGameCommand command;
    command.hallSite = defaultHallSite;
    if (url.compare(0, kMarker.size(), kMarker) != 0) return command;
    command.isCommand = true;

    std::u16string rest = url.substr(kMarker.size());
    std::u16string site;
    const std::size_t bar = rest.find(u'|');
    if (bar != std::u16string::npos) {
        site = rest.substr(bar + 1);
        rest.erase(bar);
    }
    std::u16string name;
    for (char16_t c : rest) {
        if (c != u'/') name.push_back(c);
    }
    if (name.empty() || name.size() > kMaxHallNameLength) return command;
    for (char16_t c : name) {
        if (!IsHallNameChar(c)) return command;
    }
    if (name[0] >= u'a' && name[0] <= u'z') name[0] = static_cast<char16_t>(name[0] - 32);
    command.name = name;
    command.valid = true;
    // The page may name its own hall site, but only a web address is handed to the shell.
    if (IsWebAddress(site)) command.hallSite = site;
    return command;
}

}  // namespace tamsolo
