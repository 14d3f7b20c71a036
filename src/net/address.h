// How the launcher reads the addresses it fetches: the host/port/object split, the
// permitted-domain rule for addresses whose content is downloaded and run, and the
// fixed request form every session uses. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tamsolo {

// Sent with every request. Note the blank after "zh-cn": servers have always seen it.
inline constexpr char16_t kRequestHeaders[] =
    u"Accept-Language: zh-cn \r\nContent-Type: application/x-www-form-urlencoded\r\n";
inline constexpr char16_t kUserAgent[] = u"ZQV";

constexpr std::size_t kHostChars = 260;    // buffer sizes, terminator included
constexpr std::size_t kObjectChars = 512;

struct SplitAddress {
    std::u16string host;
    std::uint16_t port = 80;
    std::u16string object;  // without the leading slash
};

// Skips the first 7 characters ("http://", not checked here), takes the host up to the first
// "/" and the object after it; "host:port" gives the port (a decimal, read like the C runtime,
// "host:" alone keeps the default 80). Fails when the host or object does not fit its buffer
// or the host is empty.
bool SplitHttpAddress(const std::u16string& address, SplitAddress* out);

// True when the address begins with "http://", letter case ignored.
bool HasHttpPrefix(const std::u16string& address);

// C0 controls, DEL and the C1 range: nothing a name, a line of a file or a command line
// should carry.
bool IsControlCharacter(char16_t c);

// An address that may be handed to the shell, which passes it on the player's browser's
// command line: "http://" or "https://" (any letter case) with a host right after it, and no
// blank, quote or control character anywhere, so it stays one argument of that command line.
// Programs, shares and scripts never pass.
bool IsWebAddress(const std::u16string& address);

// Addresses whose bodies are stored and may be run must name one of the operator's hosts:
// the host (port removed) equals one of the domains or ends with "." followed by one.
// Letter case is ignored, as in host names. An address that merely mentions a domain
// somewhere (in its path or query, or as "kelvra.com.attacker.example") does not pass.
bool IsPermittedAddress(const std::u16string& address, const std::u16string* domains, std::size_t count);

// Position of the progress bar (0-100) after `received` bytes of an announced `length`.
// A zero length counts as complete; large files do not overflow.
int ProgressPercent(std::uint64_t received, std::uint64_t length);

// How much the next read of a body asks for. A synchronous read returns only once it has
// all it asked for (or the body ended), and under Wine closing the handles from another
// thread does not interrupt it; so a cancel waits for the read in progress. Small reads keep
// that wait short on a slow line but cost a call each, which made large downloads tens of
// times slower than the network. The size starts small, doubles after a read that was filled
// in under kQuickReadMs and halves after one that took longer than kSlowReadMs: reads grow
// to the most only on a line faster than about 10 MB/s.
constexpr std::uint32_t kLeastRead = 512;
constexpr std::uint32_t kMostRead = 1024 * 1024;
constexpr double kQuickReadMs = 50;
constexpr double kSlowReadMs = 250;
std::uint32_t NextReadSize(std::uint32_t asked, std::uint32_t got, double elapsedMs);

}  // namespace tamsolo
