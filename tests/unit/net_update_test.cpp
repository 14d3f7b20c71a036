#include "net/updaterules.h"

#include <gtest/gtest.h>

#include <set>

using namespace tamsolo;

namespace {

DateTime Day(int year, int month, int day, int weekday) {
    DateTime t;
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint16_t>(month);
    t.day = static_cast<std::uint16_t>(day);
    t.dayOfWeek = static_cast<std::uint16_t>(weekday);
    t.hour = 13;
    return t;
}

const std::array<std::uint8_t, 16> kNoTime{};
const std::array<std::uint8_t, 4> kNoDays{};

}  // namespace

TEST(DateTimeRecord, PacksLittleEndianSixteenBitFields) {
    DateTime t = Day(2026, 12, 7, 1);
    t.hour = 21;
    t.minute = 5;
    t.second = 59;
    t.milliseconds = 999;
    const auto bytes = PackDateTime(t);
    const std::array<std::uint8_t, 16> expected = {0xEA, 0x07, 12, 0, 1, 0, 7, 0, 21, 0, 5, 0, 59, 0, 0xE7, 0x03};
    EXPECT_EQ(bytes, expected);
    const DateTime back = UnpackDateTime(bytes);
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.milliseconds, 999);
    EXPECT_EQ(back.dayOfWeek, 1);
}

TEST(UpdateGate, StopsOnTheDayOfAnUpdate) {
    const DateTime today = Day(2026, 12, 7, 1);
    EXPECT_FALSE(UpdateGateAllows(PackDateTime(Day(2026, 12, 7, 1)), kNoDays, today));
    // Only year, month and day count; a different time of day is the same day.
    DateTime morning = Day(2026, 12, 7, 3);
    morning.hour = 0;
    EXPECT_FALSE(UpdateGateAllows(PackDateTime(morning), kNoDays, today));
    EXPECT_TRUE(UpdateGateAllows(PackDateTime(Day(2026, 12, 6, 0)), kNoDays, today));
    EXPECT_TRUE(UpdateGateAllows(PackDateTime(Day(2025, 12, 7, 0)), kNoDays, today));
    EXPECT_TRUE(UpdateGateAllows(PackDateTime(Day(2026, 11, 7, 0)), kNoDays, today));
    EXPECT_TRUE(UpdateGateAllows(kNoTime, kNoDays, today));
}

TEST(UpdateGate, DisabledWeekdays) {
    const std::array<std::uint8_t, 4> days = {4, 1, 6, 0};
    EXPECT_FALSE(UpdateGateAllows(kNoTime, days, Day(2026, 12, 7, 1)));
    EXPECT_FALSE(UpdateGateAllows(kNoTime, days, Day(2026, 12, 10, 4)));
    EXPECT_FALSE(UpdateGateAllows(kNoTime, days, Day(2026, 12, 12, 6)));
    EXPECT_TRUE(UpdateGateAllows(kNoTime, days, Day(2026, 12, 8, 2)));
    // Byte 3 is not a weekday.
    EXPECT_TRUE(UpdateGateAllows(kNoTime, days, Day(2026, 12, 6, 0)));
    // A zero (or missing) value disables no day, Sunday included.
    EXPECT_TRUE(UpdateGateAllows(kNoTime, kNoDays, Day(2026, 12, 6, 0)));
    // A non-zero value whose bytes hold 0 disables Sunday.
    const std::array<std::uint8_t, 4> withSunday = {0, 3, 5, 0};
    EXPECT_FALSE(UpdateGateAllows(kNoTime, withSunday, Day(2026, 12, 6, 0)));
}

TEST(RuntimeRandom, MatchesTheUnseededCRuntimeSequence) {
    RuntimeRandom r;
    EXPECT_EQ(r.Next(), 41);
    EXPECT_EQ(r.Next(), 18467);
    EXPECT_EQ(r.Next(), 6334);
    EXPECT_EQ(r.Next(), 26500);
}

TEST(UpdateDaySpread, EveryMillisecondGivesThreeWeekdays) {
    RuntimeRandom r;
    const unsigned r1 = static_cast<unsigned>(r.Next());
    const unsigned r2 = static_cast<unsigned>(r.Next());
    std::set<std::array<std::uint8_t, 4>> seen;
    for (unsigned ms = 0; ms < 1000; ++ms) {
        const auto b = UpdateDaySpread(ms, r1, r2);
        const unsigned e = b[0], c = b[1], d = b[2];
        ASSERT_LE(e, 6u);
        ASSERT_LE(c, 6u);
        ASSERT_LE(d, 6u);
        ASSERT_EQ(b[3], 0);
        ASSERT_NE(c, d) << ms;
        ASSERT_NE(c, e) << ms;
        seen.insert(b);
    }
    EXPECT_GT(seen.size(), 1u);
    // ms 0 with r1 41, r2 18467: c = 48 mod 7 = 6, d = 0, e = 18474 mod 7 = 1.
    const std::array<std::uint8_t, 4> first = {1, 6, 0, 0};
    EXPECT_EQ(UpdateDaySpread(0, 41, 18467), first);
    // Unsigned wrap when the millisecond exceeds r1 + 7: (2^32 + 0 + 7 - 999) mod 7.
    const unsigned wrapped = static_cast<unsigned>((4294967296ull + 7 - 999) % 7);
    EXPECT_EQ(UpdateDaySpread(999, 0, 0)[1], wrapped);
}

TEST(HallConfiguration, AddressBesideTheLaunchersOwn) {
    const std::u16string own = UpdateConfigAddress(u"http://update.kelvra.com");
    EXPECT_EQ(own, u"http://update.kelvra.com/update/ConfigTamsolo.htm");
    struct Case {
        std::u16string config, id, hall;
    } cases[] = {
        {own, u"Ferrow", u"http://update.kelvra.com/update/ConfigFerrow.htm"},
        {u"http://127.0.0.1:18480/update/ConfigTamsolo.htm", u"A_b-1", u"http://127.0.0.1:18480/update/ConfigA_b-1.htm"},
        // Every occurrence in the path, none in the host.
        {u"http://Tamsolo.com/Tamsolo/ConfigTamsolo.htm", u"X", u"http://Tamsolo.com/X/ConfigX.htm"},
        // An id that holds the name itself is not replaced again.
        {own, u"TamsoloTamsolo", u"http://update.kelvra.com/update/ConfigTamsoloTamsolo.htm"},
    };
    for (const Case& c : cases) EXPECT_EQ(HallConfigAddress(c.config, c.id), c.hall);
}

TEST(HallConfiguration, HallIdsNameOnlyFiles) {
    for (const std::u16string& id : {std::u16string(u"Ferrow"), std::u16string(u"a"), std::u16string(u"A_b-9"),
                                     std::u16string(64, u'z')}) {
        EXPECT_TRUE(IsValidHallId(id));
    }
    for (const std::u16string& id : {std::u16string(), std::u16string(u".."), std::u16string(u"a\\b"), std::u16string(u"a/b"),
                                     std::u16string(u"a b"), std::u16string(u"a.exe"), std::u16string(u"汉字"),
                                     std::u16string(u"a:b"), std::u16string(u"a\"\""),
                                    std::u16string(65, u'z')}) {
        EXPECT_FALSE(IsValidHallId(id));
    }
}
