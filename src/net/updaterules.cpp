#include "net/updaterules.h"

namespace tamsolo {

namespace {

char16_t FoldLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

}  // namespace

std::u16string UpdateConfigAddress(const std::u16string& updateHost) {
    return updateHost + u"/update/ConfigTamsolo.htm";
}

std::u16string HallConfigAddress(const std::u16string& updateConfigAddress, const std::u16string& hallId) {
    static const std::u16string kOwnName = u"Tamsolo";
    const std::size_t scheme = updateConfigAddress.find(u"://");
    std::size_t at = updateConfigAddress.find(u'/', scheme == std::u16string::npos ? 0 : scheme + 3);
    std::u16string out = updateConfigAddress;
    while (at != std::u16string::npos && (at = out.find(kOwnName, at)) != std::u16string::npos) {
        out.replace(at, kOwnName.size(), hallId);
        at += hallId.size();
    }
    return out;
}

bool IsValidHallId(const std::u16string& id) {
    if (id.empty() || id.size() > 64) return false;
    for (char16_t c : id) {
        const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
                        c == u'-';
        if (!ok) return false;
    }
    return true;
}

std::u16string DotlessVersion(const std::u16string& version) {
    std::u16string out;
    for (char16_t c : version) {
        if (c != u'.') out.push_back(c);
    }
    return out;
}

std::u16string VersionKey(const std::string& digestHex, const std::u16string& version) {
    const std::u16string tail = DotlessVersion(version);
    const std::size_t keep = tail.size() < 32 ? 32 - tail.size() : 0;
    std::u16string key;
    for (std::size_t i = 0; i < keep && i < digestHex.size(); ++i) key.push_back(static_cast<char16_t>(digestHex[i]));
    return key + tail;
}

bool KeysDiffer(const std::u16string& operatorKey, const std::u16string& ownKey) {
    if (operatorKey.size() != ownKey.size()) return true;
    for (std::size_t i = 0; i < ownKey.size(); ++i) {
        if (FoldLower(operatorKey[i]) != FoldLower(ownKey[i])) return true;
    }
    return false;
}

bool DownloadMatchesKey(const std::u16string& operatorKey, const std::string& downloadDigestHex) {
    constexpr std::size_t kMinDigits = 16;
    std::size_t same = 0;
    while (same < operatorKey.size() && same < downloadDigestHex.size() &&
           FoldLower(operatorKey[same]) ==
               FoldLower(static_cast<char16_t>(static_cast<unsigned char>(downloadDigestHex[same])))) {
        ++same;
    }
    if (same < kMinDigits) return false;
    // The digest run may have swallowed leading digits of the version; the rest must be digits.
    for (std::size_t i = same; i < operatorKey.size(); ++i) {
        if (operatorKey[i] < u'0' || operatorKey[i] > u'9') return false;
    }
    return true;
}

std::array<std::uint8_t, 16> PackDateTime(const DateTime& t) {
    const std::uint16_t fields[8] = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[i * 2] = static_cast<std::uint8_t>(fields[i] & 0xFF);
        bytes[i * 2 + 1] = static_cast<std::uint8_t>(fields[i] >> 8);
    }
    return bytes;
}

DateTime UnpackDateTime(const std::array<std::uint8_t, 16>& bytes) {
    std::uint16_t f[8];
    for (int i = 0; i < 8; ++i) f[i] = static_cast<std::uint16_t>(bytes[i * 2] | (bytes[i * 2 + 1] << 8));
    DateTime t;
    t.year = f[0];
    t.month = f[1];
    t.dayOfWeek = f[2];
    t.day = f[3];
    t.hour = f[4];
    t.minute = f[5];
    t.second = f[6];
    t.milliseconds = f[7];
    return t;
}

bool UpdateGateAllows(const std::array<std::uint8_t, 16>& updTime, const std::array<std::uint8_t, 4>& disableDays,
                      const DateTime& today) {
    const DateTime last = UnpackDateTime(updTime);
    if (last.year == today.year && last.month == today.month && last.day == today.day) return false;
    const bool anyDisabled = disableDays[0] || disableDays[1] || disableDays[2] || disableDays[3];
    if (anyDisabled) {
        for (int i = 0; i < 3; ++i) {
            if (disableDays[i] == today.dayOfWeek) return false;
        }
    }
    return true;
}

int RuntimeRandom::Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}

std::array<std::uint8_t, 4> UpdateDaySpread(unsigned milliseconds, unsigned r1, unsigned r2) {
    const std::uint32_t ms = milliseconds;
    const std::uint32_t c = (static_cast<std::uint32_t>(r1) + 7u - ms) % 7u;
    std::uint32_t d = ms % 7u;
    if (d == c) d = (d + 6u) % 7u;
    std::uint32_t e = (static_cast<std::uint32_t>(r2) + 7u - ms) % 7u;
    if (e == c) e = (e + 1u) % 7u;
    return {static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d), 0};
}

}  // namespace tamsolo
