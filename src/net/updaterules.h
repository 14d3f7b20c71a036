// Decisions of the self-update: the version key, the daily gate, the update-day spread and
// the check of a downloaded executable against the published key. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tamsolo {

inline constexpr char16_t kVersionText[] = u"3.0.0.1";

// The operator's update configuration file on the update host.
std::u16string UpdateConfigAddress(const std::u16string& updateHost);

// A game hall's configuration sits beside the launcher's own: the update configuration's
// address with every "Tamsolo" of its path (not of its host) replaced by the hall's id.
std::u16string HallConfigAddress(const std::u16string& updateConfigAddress, const std::u16string& hallId);

// A hall id names files (the configuration, the installer): 1 to 64 ASCII letters, digits,
// "_" and "-", so it can reach no other folder and no other host.
bool IsValidHallId(const std::u16string& id);

// The version text without its dots ("3001").
std::u16string DotlessVersion(const std::u16string& version);

// The first 32 - L digits of the digest (lower-case hex) followed by the dotless version of length L.
std::u16string VersionKey(const std::string& digestHex, const std::u16string& version);

// Keys compare ignoring letter case; any difference (length included) means an update.
bool KeysDiffer(const std::u16string& operatorKey, const std::u16string& ownKey);

// The published key is the new executable's digest prefix followed by its dotless version.
// A download agrees with it when at least 16 leading digits of the key are the leading digits of
// the file's digest (letter case ignored) and what follows them is decimal digits only.
bool DownloadMatchesKey(const std::u16string& operatorKey, const std::string& downloadDigestHex);

// The platform's 16-byte date-time record: eight unsigned 16-bit little-endian fields.
struct DateTime {
    std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};
std::array<std::uint8_t, 16> PackDateTime(const DateTime& t);
DateTime UnpackDateTime(const std::array<std::uint8_t, 16>& bytes);

// The daily gate, from what the registry held (zeros where a value is missing) and today (UTC):
// no check on the day an update was made, nor on one of the three disabled weekdays.
bool UpdateGateAllows(const std::array<std::uint8_t, 16>& updTime, const std::array<std::uint8_t, 4>& disableDays,
                      const DateTime& today);

// The C runtime's rand(): never seeded, so every process starts from state 1.
class RuntimeRandom {
public:
    int Next();

private:
    std::uint32_t state_ = 1;
};

// The three weekdays without an ordinary check, as the bytes e, c, d, 0 stored in DisableDays.
std::array<std::uint8_t, 4> UpdateDaySpread(unsigned milliseconds, unsigned r1, unsigned r2);

}  // namespace tamsolo
