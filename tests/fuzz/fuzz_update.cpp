// The self-update's configuration values (the published key and the hall id come from a file
// on the update host), the version key over the executable's digest, and the daily gate over
// what the registry holds.
#include "fuzz_input.h"

#include <array>

#include "net/md5.h"
#include "net/updaterules.h"

using namespace tamsolo;

namespace {

bool AllDigits(const std::u16string& text) {
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u16string operatorKey = fuzz::ConsumeText(in, 256);
    const std::u16string hallId = fuzz::ConsumeText(in, 256);
    const std::u16string configAddress = fuzz::ConsumeText(in, 1024);
    const std::u16string version = fuzz::ConsumeText(in, 64);
    std::array<std::uint8_t, 16> updTime{};
    std::array<std::uint8_t, 4> disableDays{};
    in.ConsumeData(updTime.data(), updTime.size());
    in.ConsumeData(disableDays.data(), disableDays.size());
    std::array<std::uint8_t, 16> todayBytes{};
    in.ConsumeData(todayBytes.data(), todayBytes.size());
    const unsigned ms = in.ConsumeIntegral<unsigned>(), r1 = in.ConsumeIntegral<unsigned>(),
                   r2 = in.ConsumeIntegral<unsigned>();
    const std::string file = in.ConsumeRemainingBytesAsString();

    // The digest: the same over the whole and over pieces, 32 lower-case hex digits.
    const std::string hex = Md5HexOf(file.data(), file.size());
    FUZZ_CHECK(hex.size() == 32 && hex.find_first_not_of("0123456789abcdef") == std::string::npos);
    Md5 pieces;
    const std::size_t cut = file.empty() ? 0 : static_cast<unsigned char>(file[0]) % (file.size() + 1);
    pieces.Update(file.data(), cut);
    pieces.Update(file.data() + cut, file.size() - cut);
    FUZZ_CHECK(Md5Hex(pieces.Finish()) == hex);

    const std::u16string own = VersionKey(hex, version);
    const std::u16string dotless = DotlessVersion(version);
    FUZZ_CHECK(fuzz::EndsWith(own, dotless));
    FUZZ_CHECK(own.size() == (dotless.size() < 32 ? 32 : dotless.size()));
    FUZZ_CHECK(!KeysDiffer(own, own));
    FUZZ_CHECK(KeysDiffer(operatorKey, own) == KeysDiffer(own, operatorKey));
    // A key published for this very file is accepted when the version is digits.
    if (dotless.size() <= 16 && AllDigits(dotless)) FUZZ_CHECK(DownloadMatchesKey(own, hex));
    if (DownloadMatchesKey(operatorKey, hex)) FUZZ_CHECK(operatorKey.size() >= 16);
    (void)KeysDiffer(operatorKey, own);

    const bool validId = IsValidHallId(hallId);
    FUZZ_CHECK(!validId || (hallId.size() >= 1 && hallId.size() <= 64));
    if (validId) {
        const std::u16string hall = HallConfigAddress(configAddress, hallId);
        // The host part (up to the first "/" after the scheme) is never touched.
        const std::size_t scheme = configAddress.find(u"://");
        const std::size_t hostEnd = configAddress.find(u'/', scheme == std::u16string::npos ? 0 : scheme + 3);
        const std::size_t keep = hostEnd == std::u16string::npos ? configAddress.size() : hostEnd;
        FUZZ_CHECK(hall.compare(0, keep, configAddress, 0, keep) == 0);
    }
    FUZZ_CHECK(fuzz::EndsWith(UpdateConfigAddress(configAddress), u"/update/ConfigTamsolo.htm"));

    const DateTime today = UnpackDateTime(todayBytes);
    FUZZ_CHECK(PackDateTime(today) == todayBytes);
    (void)UpdateGateAllows(updTime, disableDays, today);
    FUZZ_CHECK(!UpdateGateAllows(todayBytes, disableDays, today));
    const std::array<std::uint8_t, 4> spread = UpdateDaySpread(ms, r1, r2);
    FUZZ_CHECK(spread[0] < 7 && spread[1] < 7 && spread[2] < 7 && spread[3] == 0);
    FUZZ_CHECK(spread[1] != spread[2] && spread[1] != spread[0]);
    return 0;
}
