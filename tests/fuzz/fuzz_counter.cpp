// The usage counters as read back from the statistics file (an INI file the player can edit).
#include "fuzz_input.h"

#include <climits>

#include "app/counter.h"

using namespace tamsolo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // GetPrivateProfileString hands at most kCounterChars - 1 characters over; longer texts
    // are read too, the rule must not depend on that cut.
    const std::u16string stored = fuzz::ConsumeText(in, 256);
    const int value = ReadSignedDecimal(stored);
    FUZZ_CHECK(NextCounterValue(stored) == static_cast<unsigned>(value) + 1u);

    const unsigned n = in.ConsumeIntegral<unsigned>();
    const std::u16string digits = FormatUnsigned(n);
    FUZZ_CHECK(!digits.empty() && digits.size() <= 10);
    if (n <= INT_MAX) FUZZ_CHECK(ReadSignedDecimal(digits) == static_cast<int>(n));
    FUZZ_CHECK(ReadSignedDecimal(u" \t-" + FormatUnsigned(n)) == (n > 2147483648u ? INT_MIN : -static_cast<long long>(n)));

    const std::u16string host = fuzz::ConsumeText(in, 1024);
    const std::u16string address = StatisticsAddressFor(host, kStartStat, n);
    FUZZ_CHECK(address.size() <= kStatAddressChars - 1);
    FUZZ_CHECK(fuzz::StartsWith(host + kStartStat, address) || fuzz::StartsWith(address, host + kStartStat));
    return 0;
}
