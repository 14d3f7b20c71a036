// Usage counters of the statistics file and the statistics request addresses. Portable.
#pragma once

#include <string>

namespace tamsolo {

// Counter keys of section "Tamsolo" and the address each one is reported to.
inline constexpr char16_t kStatisticsSection[] = u"Tamsolo";
inline constexpr char16_t kInstallStat[] = u"/install.htm?tag=tamsolo&ver=3.0.0.1";
inline constexpr char16_t kStartStat[] = u"/active.htm?tag=tamsolo&ver=3.0.0.1";
inline constexpr char16_t kPartnerStat[] = u"/active.htm?tag=webcorvel&ver=3.0.0.1";
inline constexpr char16_t kUninstallStat[] = u"/uninstall.htm?tag=tamsolo&ver=3.0.0.1";

constexpr std::size_t kCounterChars = 32;     // read buffer, terminator included
constexpr std::size_t kStatAddressChars = 512;

// Reads a decimal like the C runtime's signed reader (_wtoi): leading blanks, an optional sign,
// digits up to the first non-digit; no digits give 0; out-of-range values saturate.
int ReadSignedDecimal(const std::u16string& text);

// The stored text raised by one, as the unsigned number written back ("abc" -> 1).
unsigned NextCounterValue(const std::u16string& stored);

std::u16string FormatUnsigned(unsigned value);

// host + pathAndQuery + "&count=" + count, cut to what the 512-character buffer holds.
std::u16string StatisticsAddressFor(const std::u16string& host, const std::u16string& pathAndQuery, unsigned count);

}  // namespace tamsolo
